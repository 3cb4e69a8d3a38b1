// The bound edit box: a single-line edit box showing one field of the current record. It
// becomes writable only while its link may edit; typing first asks the dataset for an
// edit, and the typed text is written into the field at post, at leaveEditing and when
// the box loses the focus. Getting the focus reloads the box from its field unless its
// text was changed and not written yet.
#pragma once

#include <QChar>
#include <QLineEdit>
#include <functional>
#include <string>

#include "DbfDataSource.h"

class QMenu;

namespace dbf {

class TDBEdit;

// The edit box's field link: shows the field, follows own editing, writes the text back.
class TDBEditDataLink : public TFieldDataLink {
 public:
  TDBEditDataLink(TDBEdit& edit, const std::string& control_name);

 protected:
  void dataChange() override;
  void editingChange() override;
  void updateData() override;
  void focusControl() override;

 private:
  TDBEdit& edit_;
};

class TDBEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TDBEdit(QWidget* parent = nullptr);

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  const std::string& DataField() const;
  void SetDataField(const std::string& field_name);
  // The bound field; null while the link is inactive.
  TField* Field() const;

  // The link's read-only: the box never asks for an edit, though the program may still
  // set its text (written back in StateEdit and StateInsert, lost in StateBrowse).
  bool ReadOnly() const;
  void SetReadOnly(bool read_only);
  // 0: a string field's Size in characters, unlimited for other fields.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int length);

  // A character key before the box takes it; the handler may change it, and a null
  // character is ignored by the box.
  std::function<void(TDBEdit& sender, QChar& key)> OnKeyPress;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  friend class TDBEditDataLink;

  // Display rules: alignment, length limit, edit text or display text.
  void loadFromField();
  // The window-level read-only: the box takes typing only while its link edits.
  void followOwnEditing();
  // The write back: the text goes into the field while the dataset is in StateEdit or
  // StateInsert; in StateBrowse it stays unwritten and the next reload replaces it.
  void writeToField();
  void applyMaxLength();
  void handleKeyPress(QKeyEvent& event);
  // Cut and paste for a box that waits for an edit: each asks for the edit first.
  void addEditCommands(QMenu& menu);

  TDBEditDataLink link_;
  int max_length_ = 0;
  bool focused_ = false;
};

}  // namespace dbf
