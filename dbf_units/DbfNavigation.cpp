// The table dataset's record window and moves: fetching visible records into the
// window around the table cursor, re-reading it after a change, and moving the current
// record with the BOF and EOF flags and the scroll events bound controls follow.
#include "dbf.h"

namespace dbf {

bool TDbf::fetchIntoSpare(TFetchMode mode) {
  TRecordBuffer& spare = window_.Spare();
  if (engine_.FetchRecord(spare.record, mode, show_deleted_) != TFetchResult::FetchOk) {
    return false;
  }
  spare.record_number = engine_.CurrentCursor().PhysicalRecordNumber();
  spare.flag = TRecordFlag::FlagCurrent;
  return true;
}

TDbf::TPlacement TDbf::fetchNextRecord() {
  if (!window_.Empty()) syncCursorTo(window_.Count() - 1);
  window_.ForgetCursorBuffer();
  if (!fetchIntoSpare(TFetchMode::FetchNext)) return TPlacement::Failed;
  if (window_.Empty()) bof_ = eof_ = false;
  const bool shifted = window_.PlaceSpareLast();
  window_.SetCursorBuffer(window_.Count() - 1);
  return shifted ? TPlacement::Shifted : TPlacement::Added;
}

TDbf::TPlacement TDbf::fetchPriorRecord() {
  if (!window_.Empty()) syncCursorTo(0);
  window_.ForgetCursorBuffer();
  if (!fetchIntoSpare(TFetchMode::FetchPrior)) return TPlacement::Failed;
  if (window_.Empty()) bof_ = eof_ = false;
  const bool shifted = window_.PlaceSpareFirst();
  window_.SetCursorBuffer(0);
  return shifted ? TPlacement::Shifted : TPlacement::Added;
}

void TDbf::fillForward() {
  while (!window_.Full() && fetchNextRecord() != TPlacement::Failed) {
  }
}

void TDbf::fillBackward() {
  while (!window_.Full() && fetchPriorRecord() != TPlacement::Failed) {
  }
}

void TDbf::syncCursorTo(int index) {
  if (window_.IsCursorBuffer(index)) return;
  const TRecordBuffer& buffer = window_.At(index);
  TVirtualCursor& cursor = engine_.CurrentCursor();
  switch (buffer.flag) {
    case TRecordFlag::FlagBof:
      cursor.MoveFirst();
      break;
    case TRecordFlag::FlagEof:
      cursor.MoveLast();
      break;
    case TRecordFlag::FlagCurrent:
      cursor.GotoBookmark(buffer.record_number);
      break;
    case TRecordFlag::FlagInserted:
      // A record not yet stored has no place in the file: the cursor stays.
      break;
  }
  window_.SetCursorBuffer(index);
}

void TDbf::syncCursorToActive() {
  if (!window_.Empty()) syncCursorTo(window_.ActiveIndex());
}

void TDbf::clearWindow() {
  window_.Clear();
  bof_ = eof_ = true;
}

void TDbf::rereadWindow() {
  const int former_active = window_.ActiveIndex();
  window_.ForgetCursorBuffer();
  if (!fetchIntoSpare(TFetchMode::FetchCurrent) && !fetchIntoSpare(TFetchMode::FetchNext) &&
      !fetchIntoSpare(TFetchMode::FetchPrior)) {
    clearWindow();
    dataEvent(TDataEvent::EventDataSetChanged);
    return;
  }
  rebuildWindowAroundSpare(former_active);
}

void TDbf::rereadWindowAfterWrite() {
  const int former_active = window_.ActiveIndex();
  window_.ForgetCursorBuffer();
  TRecordBuffer& spare = window_.Spare();
  spare.record = window_.Active()->record;
  spare.record_number = engine_.CurrentCursor().PhysicalRecordNumber();
  spare.flag = TRecordFlag::FlagCurrent;
  rebuildWindowAroundSpare(former_active);
}

void TDbf::rebuildWindowAroundSpare(int former_active) {
  window_.PlaceSpareAlone();
  window_.SetCursorBuffer(0);
  bof_ = eof_ = false;
  // The current record keeps its row in a multi-row window.
  while (window_.ActiveIndex() < former_active && fetchPriorRecord() != TPlacement::Failed) {
  }
  fillForward();
  fillBackward();
  dataEvent(TDataEvent::EventDataSetChanged);
}

void TDbf::updateBufferCount() {
  const int size = wantedWindowSize();
  if (!Active() || size == window_.Size()) return;
  window_.Resize(size);
  if (!window_.Empty()) {
    fillForward();
    fillBackward();
  }
  dataEvent(TDataEvent::EventDataSetChanged);
}

void TDbf::moveFirst() {
  leaveEditing();
  clearWindow();
  engine_.CurrentCursor().MoveFirst();
  fillForward();
  bof_ = true;
  dataEvent(TDataEvent::EventDataSetChanged);
}

void TDbf::moveLast() {
  leaveEditing();
  clearWindow();
  engine_.CurrentCursor().MoveLast();
  fillBackward();
  eof_ = true;
  dataEvent(TDataEvent::EventDataSetChanged);
}

int TDbf::moveBy(int distance) {
  leaveEditing();
  if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
  bof_ = eof_ = false;
  const int former_count = window_.Count();
  int shift = 0;
  int moved = 0;
  while (moved < distance && stepForward(shift)) ++moved;
  while (moved > distance && stepBackward(shift)) --moved;
  if (window_.Count() == former_count) {
    dataEvent(TDataEvent::EventScrolled, shift);
  } else {
    dataEvent(TDataEvent::EventDataSetChanged);
  }
  return moved;
}

bool TDbf::stepForward(int& shift) {
  if (!window_.ActiveIsLast()) {
    window_.SetActiveIndex(window_.ActiveIndex() + 1);
    return true;
  }
  switch (fetchNextRecord()) {
    case TPlacement::Failed:
      eof_ = true;
      return false;
    case TPlacement::Shifted:
      --shift;
      return true;
    case TPlacement::Added:
      window_.SetActiveIndex(window_.Count() - 1);
      return true;
  }
  return false;
}

bool TDbf::stepBackward(int& shift) {
  if (window_.ActiveIndex() > 0) {
    window_.SetActiveIndex(window_.ActiveIndex() - 1);
    return true;
  }
  switch (fetchPriorRecord()) {
    case TPlacement::Failed:
      bof_ = true;
      return false;
    case TPlacement::Shifted:
      ++shift;
      return true;
    case TPlacement::Added:
      window_.SetActiveIndex(0);
      return true;
  }
  return false;
}

}  // namespace dbf
