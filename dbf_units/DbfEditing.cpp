// The table dataset's edit cycle: starting an insert, an append or an edit, posting and
// cancelling, deleting, refreshing, and the record numbers. A record reaches the file
// only in post and deleteRecord, and is on the device when they return; a failed write
// leaves the dataset in its editing state with the buffer as it stands, so nothing the
// examiner entered is lost.
#include <algorithm>

#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "UDbfFile.h"
#include "dbf.h"

namespace dbf {

void TDbf::blankSpare(TRecordFlag flag) {
  TRecordBuffer& spare = window_.Spare();
  engine_.File().BlankRecord(spare.record.data());
  spare.record_number = -1;
  spare.flag = flag;
}

void TDbf::startInsert() {
  leaveEditing();
  checkModifiable();
  blankSpare(TRecordFlag::FlagInserted);
  if (const TRecordBuffer* current = window_.Active()) {
    window_.Spare().record_number = current->record_number;
  } else {
    window_.Spare().flag = TRecordFlag::FlagBof;
  }
  window_.PlaceSpareAtActive();
  setState(TDataSetState::StateInsert);
  dataEvent(TDataEvent::EventDataSetChanged);
}

void TDbf::startAppend() {
  leaveEditing();
  checkModifiable();
  clearWindow();
  blankSpare(TRecordFlag::FlagEof);
  window_.PlaceSpareAlone();
  bof_ = false;
  fillBackward();
  setState(TDataSetState::StateInsert);
  dataEvent(TDataEvent::EventDataSetChanged);
}

void TDbf::startEdit() {
  if (editing()) return;
  if (window_.Empty()) {
    startInsert();
    return;
  }
  leaveEditing();
  checkModifiable();
  setState(TDataSetState::StateEdit);
  dataEvent(TDataEvent::EventRecordChanged);
}

void TDbf::writeBack() {
  if (!editing()) databaseError("Dataset not in edit or insert mode");
  dataEvent(TDataEvent::EventWriteBack);
}

void TDbf::post() {
  writeBack();
  dataEvent(TDataEvent::EventLeaveEditing);
  checkRequiredFields();
  syncCursorToActive();
  storeActiveRecord();
  syncWrites();
  setState(TDataSetState::StateBrowse);
  rereadWindowAfterWrite();
}

void TDbf::syncWrites() {
  if (sync_mode_ == TDbfSyncMode::smEachWrite) engine_.Sync();
}

void TDbf::storeActiveRecord() {
  TRecordBuffer& active = *window_.Active();
  active.record[0] = kValidRecordFlag;
  if (state_ == TDataSetState::StateEdit) {
    engine_.StoreCurrentRecord(active.record.data());
  } else {
    engine_.StoreNewRecord(active.record.data());
  }
}

void TDbf::checkRequiredFields() {
  for (const auto& field : fields_) {
    if (field->Required() && !field->ReadOnly() && field->isNull()) {
      dataEvent(TDataEvent::EventFocusField, FieldEventArgument(field.get()));
      throw EDatabaseError("Field '" + field->DisplayName() + "' must have a value");
    }
  }
}

void TDbf::cancel() {
  if (!editing()) return;
  dataEvent(TDataEvent::EventLeaveEditing);
  syncCursorToActive();
  setState(TDataSetState::StateBrowse);
  rereadWindow();
}

void TDbf::deleteRecord() {
  checkOpen();
  if (state_ == TDataSetState::StateInsert) {
    cancel();
    return;
  }
  checkNotEmpty();
  // A read-only table cannot take the deletion mark; refuse before touching the buffer.
  checkModifiable();
  dataEvent(TDataEvent::EventLeaveEditing);
  syncCursorToActive();
  TRecordBuffer& active = *window_.Active();
  const uint8_t former_flag = active.record[0];
  active.record[0] = kDeletedRecordFlag;
  try {
    engine_.StoreCurrentRecord(active.record.data());
    syncWrites();
  } catch (...) {
    active.record[0] = former_flag;
    throw;
  }
  setState(TDataSetState::StateBrowse);
  rereadWindow();
}

void TDbf::refresh() {
  leaveEditing();
  engine_.RefreshRecordCount();
  syncCursorToActive();
  rereadWindow();
}

void TDbf::lockAppends() {
  checkOpen();
  checkModifiable();
  engine_.LockAppends();
}

void TDbf::unlockAppends() {
  if (Active()) engine_.UnlockAppends();
}

void TDbf::leaveEditing() {
  checkOpen();
  dataEvent(TDataEvent::EventLeaveEditing);
  if (!editing()) return;
  writeBack();
  if (modified_) {
    post();
  } else {
    cancel();
  }
}

int32_t TDbf::recordCount() const { return Active() ? engine_.RecordCount() : 0; }

int32_t TDbf::recordNumber() {
  if (!Active()) return 0;
  syncCursorToActive();
  return engine_.CurrentCursor().PhysicalRecordNumber();
}

void TDbf::setRecordNumber(int32_t number) {
  leaveEditing();
  engine_.CurrentCursor().SetSequentialRecordNumber(number);
  window_.ForgetCursorBuffer();
  rereadWindow();
}

bool TDbf::recordDeleted() const {
  const TRecordBuffer* active = window_.Active();
  return active != nullptr && active->record[0] != kValidRecordFlag;
}

}  // namespace dbf
