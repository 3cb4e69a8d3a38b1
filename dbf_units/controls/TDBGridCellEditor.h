// The bound grid's in-place editor: a line edit over the current cell that starts with
// the field's edit text. What is typed stays in the editor until the grid writes it into
// the field (Enter, the dataset's write back, the editor losing the focus) or discards it.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

#include "TDBGridModel.h"

class QKeyEvent;

namespace dbf {

class TDBGridCellEditor : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit TDBGridCellEditor(const TDBGridModel& model, QObject* parent = nullptr);

  // Sees every key pressed in the editor first; true consumes the key.
  std::function<bool(QKeyEvent& key)> key_handler;

  bool IsOpen() const { return editor_ != nullptr; }
  // The open editor, or null.
  QLineEdit* Editor() const { return editor_; }
  // Whether text was typed since the editor opened or its text was last written.
  bool Modified() const { return modified_; }

  // Writes the typed text, when there is any, into the cell's field. On a failed
  // conversion the field's error propagates and the text stays in the editor. (Const
  // because the view commits through the const interface below.)
  void writeTypedText() const;
  // Closes the editor; typed text that was not written is lost.
  void close();

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Shows the field's edit text, all selected, unless text has been typed.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  // The view commits the editor when it loses the focus or the current cell changes.
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const TDBGridModel& model_;
  // The view creates and destroys the editor through the const interface above.
  mutable QPointer<QLineEdit> editor_;
  mutable int column_ = -1;
  mutable bool modified_ = false;
};

}  // namespace dbf
