// Data sources and data links: how a table dataset's events reach bound controls. A
// TDataSource connects one dataset to any number of links and mirrors its state; a
// TDataLink is the part every bound control shares (active and editing flags, the rows
// it shows of the record window, the write back); TFieldDataLink binds one field.
// This is the toolkit-free base: the controls derive from it and fill the hooks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DbfDataEvents.h"
#include "DbfObserverList.h"

namespace dbf {

class TDbf;
class TField;
class TDataLink;

class TDataSource {
 public:
  TDataSource() = default;
  // Detaches every link (they become inactive) and leaves the dataset.
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TDbf* DataSet() const { return dataset_; }
  void SetDataSet(TDbf* dataset);
  // A disabled source reports StateInactive and passes no event on.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool AutoEdit() const { return auto_edit_; }
  void SetAutoEdit(bool auto_edit) { auto_edit_ = auto_edit; }
  TDataSetState State() const { return state_; }

  // Starts an edit of the dataset when AutoEdit is set and the state is StateBrowse.
  void edit();

 private:
  friend class TDbf;
  friend class TDataLink;

  // Called by the dataset for each of its events.
  void dataEvent(TDataEvent event, intptr_t argument);
  // The most rows any attached link shows.
  int maxBufferCount() const;
  // A link attached, left or changed its buffer count: the window follows.
  void windowSizeChanged();
  void attachLink(TDataLink* link);
  void detachLink(TDataLink* link);
  void updateState();
  // Non-visual links first, then visual ones, each group latest attached first.
  void notifyLinks(TDataEvent event, intptr_t argument);

  TDbf* dataset_ = nullptr;
  bool enabled_ = true;
  bool auto_edit_ = true;
  TDataSetState state_ = TDataSetState::StateInactive;
  TObserverList<TDataLink> links_;
};

class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  // The source's dataset, or null.
  TDbf* DataSet() const;

  // True while the source's state is not StateInactive.
  bool Active() const { return active_; }
  // True in StateEdit and StateInsert unless the link is read-only.
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);
  // Rows the control shows; the dataset's window is at least as large.
  int BufferCount() const { return buffer_count_; }
  void SetBufferCount(int count);
  // Index of the window buffer shown in the control's first row.
  int FirstRecord() const { return first_record_; }
  // True while the link is writing back pending text.
  bool Updating() const { return updating_; }
  bool VisualControl() const { return visual_control_; }
  void SetVisualControl(bool visual) { visual_control_ = visual; }

  // Rows that hold records: at most BufferCount, never past the window's valid buffers.
  int RecordCount() const;
  // The current record's row.
  int ActiveRecord() const;
  // Makes row `row` the dataset's active buffer, so a control can read its fields.
  // REQUIRES: 0 <= row < RecordCount().
  void SetActiveRecord(int row);

  // The edit request: unless read-only, asks the source to edit. Returns Editing().
  virtual bool edit();
  // Writes pending text back into the fields (the hook onWriteBack, with Updating set).
  void updateRecord();

 protected:
  virtual void onActiveChanged() {}
  virtual void onEditingChanged() {}
  // `field` is the field assigned, or null when the whole record changed.
  virtual void onRecordChanged(TField*) {}
  virtual void onDataSetChanged() { onRecordChanged(nullptr); }
  // `distance`: rows the first record moved to keep the current record in view.
  virtual void onScrolled(int) { onDataSetChanged(); }
  virtual void onLayoutChanged() { onDataSetChanged(); }
  virtual void onWriteBack() {}
  virtual void onFocusField(TField*) {}

 private:
  friend class TDataSource;

  void dataEvent(TDataEvent event, intptr_t argument);
  void updateState();
  void setActive(bool active);
  void setEditing(bool editing);
  // Moves the first record by the least amount that shows the active buffer; returns it.
  int updateRange();
  void windowChanged(TDataEvent event, int shift);

  TDataSource* source_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool read_only_ = false;
  int buffer_count_ = 1;
  int first_record_ = 0;
  bool updating_ = false;
  bool visual_control_ = false;
};

// A link bound to one field of the dataset by name, for an edit box. The owning control
// derives its own link from this one and overrides the control hooks below, as every
// link kind overrides the hooks of TDataLink; the link looks its field up whenever it
// becomes active, the name changes or the field list changes.
class TFieldDataLink : public TDataLink {
 public:
  // `control_name` prefixes the "Field '%s' not found" message.
  explicit TFieldDataLink(std::string control_name = "");

  const std::string& ControlName() const { return control_name_; }
  // Controls named after they are built keep the message prefix in step with their name.
  void SetControlName(const std::string& name) { control_name_ = name; }
  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(const std::string& name);
  // The bound field; null while inactive or without a field name.
  TField* Field() const { return field_; }

  // Modify permission: not read-only, a field bound and that field modifiable.
  bool CanModify() const;
  // Editing() and the modify permission.
  bool OwnEditing() const { return own_editing_; }
  // The control's text differs from the field's value and is not written back yet.
  bool Modified() const { return modified_; }
  void SetModified() { modified_ = true; }
  // Asks for an edit only when the modify permission holds; returns OwnEditing().
  bool edit() override;
  // Reloads the control from the field.
  void reset() { onRecordChanged(nullptr); }

 protected:
  // ---- Control hooks ----
  // The control shows the field's value; the link then clears Modified.
  virtual void dataChange() {}
  // OwnEditing changed: the control becomes writable or read-only.
  virtual void editingChange() {}
  // The control assigns its pending text to Field() (write back).
  // REQUIRES: Field() != nullptr.
  virtual void updateData() {}
  virtual void activeChange() {}
  // The control takes the focus because its field asked for it.
  virtual void focusControl() {}

  void onActiveChanged() override;
  void onEditingChanged() override;
  void onRecordChanged(TField* field) override;
  void onLayoutChanged() override { updateField(); }
  void onWriteBack() override;
  void onFocusField(TField* field) override;

 private:
  void updateField();
  void setField(TField* field);
  void setOwnEditing(bool editing);

  std::string control_name_;
  std::string field_name_;
  TField* field_ = nullptr;
  bool own_editing_ = false;
  bool modified_ = false;
};

}  // namespace dbf
