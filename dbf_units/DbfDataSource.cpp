// Data sources pass a dataset's events on to their links; data links turn them into the
// hooks of their control and keep the control's rows over the dataset's record window.
#include "DbfDataSource.h"

#include <algorithm>

#include "DbfErrors.h"
#include "dbf.h"

namespace dbf {

namespace {

// Non-visual links first, then visual ones, each group latest attached first.
void PutInNoticeOrder(std::vector<TDataLink*>& links) {
  std::reverse(links.begin(), links.end());
  std::stable_partition(links.begin(), links.end(), [](const TDataLink* link) { return !link->VisualControl(); });
}

}  // namespace

TDataSource::~TDataSource() {
  while (!links_.empty()) links_.latest()->SetDataSource(nullptr);
  SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDbf* dataset) {
  if (dataset_ == dataset) return;
  if (dataset_ != nullptr) dataset_->detachDataSource(this);
  dataset_ = dataset;
  if (dataset_ != nullptr) dataset_->attachDataSource(this);
  updateState();
}

void TDataSource::SetEnabled(bool enabled) {
  enabled_ = enabled;
  updateState();
}

void TDataSource::edit() {
  if (auto_edit_ && state_ == TDataSetState::StateBrowse) dataset_->startEdit();
}

void TDataSource::dataEvent(TDataEvent event, intptr_t argument) {
  if (event == TDataEvent::EventStateChanged) {
    updateState();
  } else if (state_ != TDataSetState::StateInactive) {
    notifyLinks(event, argument);
  }
}

int TDataSource::maxBufferCount() const {
  int count = 0;
  for (const TDataLink* link : links_) count = std::max(count, link->BufferCount());
  return count;
}

void TDataSource::windowSizeChanged() {
  if (dataset_ != nullptr) dataset_->updateBufferCount();
}

void TDataSource::attachLink(TDataLink* link) {
  links_.add(link);
  windowSizeChanged();
}

void TDataSource::detachLink(TDataLink* link) {
  links_.remove(link);
  windowSizeChanged();
}

void TDataSource::updateState() {
  const TDataSetState state = enabled_ && dataset_ != nullptr ? dataset_->state() : TDataSetState::StateInactive;
  if (state == state_) return;
  state_ = state;
  notifyLinks(TDataEvent::EventStateChanged, 0);
}

void TDataSource::notifyLinks(TDataEvent event, intptr_t argument) {
  links_.notifyEach([&](TDataLink* link) { link->dataEvent(event, argument); }, PutInNoticeOrder);
}

TDataLink::~TDataLink() {
  if (source_ != nullptr) source_->detachLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source_ == source) return;
  if (source_ != nullptr) source_->detachLink(this);
  source_ = source;
  if (source_ != nullptr) source_->attachLink(this);
  updateState();
}

TDbf* TDataLink::DataSet() const { return source_ != nullptr ? source_->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool read_only) {
  if (read_only_ == read_only) return;
  read_only_ = read_only;
  updateState();
}

void TDataLink::SetBufferCount(int count) {
  if (buffer_count_ == count) return;
  buffer_count_ = count;
  if (source_ != nullptr) source_->windowSizeChanged();
  if (active_) updateRange();
}

int TDataLink::RecordCount() const {
  if (!active_) return 0;
  return std::clamp(DataSet()->validBufferCount() - first_record_, 0, buffer_count_);
}

int TDataLink::ActiveRecord() const { return active_ ? DataSet()->activeBufferIndex() - first_record_ : 0; }

void TDataLink::SetActiveRecord(int row) { DataSet()->setActiveBufferIndex(row + first_record_); }

bool TDataLink::edit() {
  if (!read_only_ && source_ != nullptr) source_->edit();
  return editing_;
}

void TDataLink::updateRecord() {
  updating_ = true;
  try {
    onWriteBack();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TDataLink::dataEvent(TDataEvent event, intptr_t argument) {
  if (event == TDataEvent::EventStateChanged) {
    updateState();
    return;
  }
  if (!active_) return;
  switch (event) {
    case TDataEvent::EventFieldChanged:
    case TDataEvent::EventRecordChanged:
      if (!updating_) onRecordChanged(FieldOfEventArgument(argument));
      break;
    case TDataEvent::EventDataSetChanged:
    case TDataEvent::EventLayoutChanged:
      windowChanged(event, 0);
      break;
    case TDataEvent::EventScrolled:
      windowChanged(event, static_cast<int>(argument));
      break;
    case TDataEvent::EventWriteBack:
      updateRecord();
      break;
    case TDataEvent::EventFocusField:
      onFocusField(FieldOfEventArgument(argument));
      break;
    case TDataEvent::EventStateChanged:
    case TDataEvent::EventLeaveEditing:
      break;
  }
}

void TDataLink::windowChanged(TDataEvent event, int shift) {
  first_record_ += shift;
  const int distance = updateRange();
  if (event == TDataEvent::EventScrolled) {
    onScrolled(distance);
  } else if (event == TDataEvent::EventLayoutChanged) {
    onLayoutChanged();
  } else {
    onDataSetChanged();
  }
}

void TDataLink::updateState() {
  const TDataSetState state = source_ != nullptr ? source_->State() : TDataSetState::StateInactive;
  setActive(state != TDataSetState::StateInactive);
  const bool editing_state = state == TDataSetState::StateEdit || state == TDataSetState::StateInsert;
  setEditing(editing_state && !read_only_);
}

void TDataLink::setActive(bool active) {
  if (active_ == active) return;
  active_ = active;
  if (active_) {
    updateRange();
  } else {
    first_record_ = 0;
  }
  onActiveChanged();
}

void TDataLink::setEditing(bool editing) {
  if (editing_ == editing) return;
  editing_ = editing;
  onEditingChanged();
}

int TDataLink::updateRange() {
  const int before = first_record_;
  const int active_buffer = DataSet()->activeBufferIndex();
  const int lowest = std::max(0, active_buffer - buffer_count_ + 1);
  first_record_ = std::clamp(first_record_, lowest, std::max(lowest, active_buffer));
  return first_record_ - before;
}

TFieldDataLink::TFieldDataLink(std::string control_name) : control_name_(std::move(control_name)) {
  SetVisualControl(true);
}

void TFieldDataLink::SetFieldName(const std::string& name) {
  if (field_name_ == name) return;
  field_name_ = name;
  updateField();
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && field_ != nullptr && field_->CanModify(); }

bool TFieldDataLink::edit() {
  if (CanModify()) TDataLink::edit();
  return own_editing_;
}

void TFieldDataLink::updateField() {
  if (!Active() || field_name_.empty()) {
    setField(nullptr);
    return;
  }
  // A failed look-up leaves no field bound.
  field_ = nullptr;
  TField* field = DataSet()->findField(field_name_);
  if (field == nullptr) {
    throw EDatabaseError(ComponentMessage(control_name_, FieldNotFoundMessage(field_name_)));
  }
  setField(field);
}

void TFieldDataLink::setField(TField* field) {
  if (field_ == field) return;
  field_ = field;
  onEditingChanged();
  onRecordChanged(nullptr);
}

void TFieldDataLink::setOwnEditing(bool editing) {
  if (own_editing_ == editing) return;
  own_editing_ = editing;
  modified_ = false;
  editingChange();
}

void TFieldDataLink::onActiveChanged() {
  updateField();
  activeChange();
}

void TFieldDataLink::onEditingChanged() { setOwnEditing(Editing() && CanModify()); }

void TFieldDataLink::onRecordChanged(TField* field) {
  if (field != nullptr && field != field_) return;
  dataChange();
  modified_ = false;
}

void TFieldDataLink::onWriteBack() {
  if (!modified_) return;
  if (field_ != nullptr) updateData();
  modified_ = false;
}

void TFieldDataLink::onFocusField(TField* field) {
  if (field != nullptr && field == field_) focusControl();
}

}  // namespace dbf
