// The bound grid's keys and mouse: moves through the dataset, editing in place, insert,
// delete, the two steps of Esc, and leaving the grid. Every action runs through the error
// report, so an error of the dataset never unwinds through Qt's frames.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>
#include <QWheelEvent>

#include "DbfDialogs.h"
#include "DbfFields.h"
#include "TDBGrid.h"
#include "TDBGridCellEditor.h"
#include "TDBGridModel.h"
#include "dbf.h"

namespace dbf {

namespace {

constexpr int kWheelStep = 120;

Qt::KeyboardModifiers ModifiersOf(const QKeyEvent& key) { return key.modifiers() & ~Qt::KeypadModifier; }

bool IsPrintable(const QKeyEvent& key) {
  if ((ModifiersOf(key) & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
  const QString text = key.text();
  return !text.isEmpty() && text.at(0).isPrint();
}

// Keys besides printable characters that change an editor's text.
bool ChangesText(const QKeyEvent& key) {
  return key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete || key.matches(QKeySequence::Paste) ||
         key.matches(QKeySequence::Cut) || key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo);
}

char32_t FirstCharacter(const QKeyEvent& key) {
  const QList<uint> characters = key.text().toUcs4();
  return characters.isEmpty() ? 0 : characters.front();
}

}  // namespace

void TDBGrid::run(const std::function<void(TDbf& dataset)>& action) {
  if (link_.Active()) RunReported([&] { action(*link_.DataSet()); });
}

bool TDBGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    return handleKey(static_cast<QKeyEvent&>(*event), false);
  }
  if (watched == view_->viewport()) return handleViewportEvent(event);
  return QWidget::eventFilter(watched, event);
}

bool TDBGrid::handleKey(QKeyEvent& key, bool in_editor) {
  if (handleMoveKey(key)) return true;
  const Qt::KeyboardModifiers modifiers = ModifiersOf(key);
  switch (key.key()) {
    case Qt::Key_Escape:
      run([this](TDbf& dataset) { escape(dataset); });
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (in_editor) {
        enterCell();
      } else {
        openCellEditor(nullptr);
      }
      return true;
    case Qt::Key_F2:
      if (!in_editor) openCellEditor(nullptr);
      return true;
    case Qt::Key_Insert:
      if (in_editor || modifiers != Qt::NoModifier) break;
      run([this](TDbf& dataset) {
        if (canEdit()) dataset.startInsert();
      });
      return true;
    case Qt::Key_Delete:
      if (modifiers != Qt::ControlModifier) break;
      run([this](TDbf& dataset) { deleteCurrentRecord(dataset); });
      return true;
    default:
      break;
  }
  if (in_editor) return handleEditorTyping(key);
  if (!IsPrintable(key)) return false;
  openCellEditor(&key);
  return true;
}

bool TDBGrid::handleMoveKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = ModifiersOf(key);
  const bool control = (modifiers & Qt::ControlModifier) != 0;
  const bool tabs = options_.testFlag(dgTabs);
  std::function<void(TDbf&)> move;
  // The row changes only by moving the dataset, whatever modifier is held; the view's
  // own handling (Ctrl+Down, Shift+PgDn, ...) would move its cursor alone.
  switch (key.key()) {
    case Qt::Key_Up:
      move = [this](TDbf& dataset) { priorRow(dataset); };
      break;
    case Qt::Key_Down:
      move = [this](TDbf& dataset) { nextRow(dataset); };
      break;
    case Qt::Key_PageUp:
      move = [this](TDbf& dataset) { dataset.moveBy(-VisibleRowCount()); };
      break;
    case Qt::Key_PageDown:
      move = [this](TDbf& dataset) { dataset.moveBy(VisibleRowCount()); };
      break;
    case Qt::Key_Home:
      if (control) move = [](TDbf& dataset) { dataset.moveFirst(); };
      break;
    case Qt::Key_End:
      if (control) move = [](TDbf& dataset) { dataset.moveLast(); };
      break;
    case Qt::Key_Tab:
      if (tabs && modifiers == Qt::NoModifier) {
        move = [this](TDbf& dataset) { moveToColumn(current_column_ + 1, dataset); };
      }
      break;
    case Qt::Key_Backtab:
      if (tabs) move = [this](TDbf& dataset) { moveToColumn(current_column_ - 1, dataset); };
      break;
    default:
      break;
  }
  if (!move) return false;
  run(move);
  return true;
}

bool TDBGrid::handleEditorTyping(const QKeyEvent& key) {
  const bool printable = IsPrintable(key);
  if (!printable && !ChangesText(key)) return false;
  if (printable && !model_->FieldOfColumn(current_column_).IsValidChar(FirstCharacter(key))) {
    QApplication::beep();
    return true;
  }
  if (!link_.Editing()) RunReported([this] { link_.edit(); });
  // Without the dataset's consent to edit, the key has no effect.
  return !link_.Editing();
}

bool TDBGrid::handleViewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const QPoint position = static_cast<QMouseEvent&>(*event).position().toPoint();
      const int row = view_->rowAt(position.y());
      // A click on the current record's row only picks the column, as the view does.
      if (row == model_->ActiveRow()) return false;
      view_->setFocus(Qt::MouseFocusReason);
      if (row < 0) return true;
      const int column = view_->columnAt(position.x());
      if (column >= 0) current_column_ = column;
      const int distance = row - model_->ActiveRow();
      run([distance](TDbf& dataset) { dataset.moveBy(distance); });
      placeCursor();
      return true;
    }
    case QEvent::MouseButtonDblClick: {
      const QPoint position = static_cast<QMouseEvent&>(*event).position().toPoint();
      if (view_->rowAt(position.y()) != model_->ActiveRow()) return false;
      openCellEditor(nullptr);
      return true;
    }
    case QEvent::MouseMove:
      // No selecting by dragging: the row cursor stays on the current record.
      return static_cast<QMouseEvent&>(*event).buttons() != Qt::NoButton;
    case QEvent::Wheel: {
      const int steps = static_cast<QWheelEvent&>(*event).angleDelta().y() / kWheelStep;
      if (steps != 0) run([steps](TDbf& dataset) { dataset.moveBy(-steps); });
      return true;
    }
    default:
      return false;
  }
}

void TDBGrid::focusChanged(QWidget* old_focus, QWidget* new_focus) {
  // Only a move to another control of the same window leaves the grid; a message box
  // taking the focus does not.
  if (old_focus == nullptr || new_focus == nullptr || new_focus->window() != window()) return;
  const bool was_inside = old_focus == this || isAncestorOf(old_focus);
  const bool is_inside = new_focus == this || isAncestorOf(new_focus);
  if (was_inside && !is_inside) run([this](TDbf& dataset) { leaveGrid(dataset); });
}

void TDBGrid::priorRow(TDbf& dataset) {
  // An untouched new record at the end goes away; elsewhere the move itself cancels it.
  if (newRecordUntouched() && dataset.atEof()) {
    dataset.cancel();
    return;
  }
  dataset.moveBy(-1);
}

void TDBGrid::nextRow(TDbf& dataset) {
  if (newRecordUntouched()) {
    // Nothing follows a new last record; an untouched one inserted higher up goes away.
    if (!dataset.atEof() || model_->ActiveRow() != model_->rowCount() - 1) dataset.cancel();
    return;
  }
  dataset.moveBy(1);
  if (dataset.atEof() && canEdit()) dataset.startAppend();
}

void TDBGrid::moveToColumn(int column, TDbf& dataset) {
  const int count = model_->columnCount();
  if (count == 0) return;
  cell_editor_->writeTypedText();
  cell_editor_->close();
  if (column >= count) {
    current_column_ = 0;
    nextRow(dataset);
  } else if (column < 0) {
    current_column_ = count - 1;
    priorRow(dataset);
  } else {
    current_column_ = column;
  }
  placeCursor();
}

void TDBGrid::openCellEditor(const QKeyEvent* typed) {
  if (current_column_ >= model_->columnCount() || !model_->ColumnEditable(current_column_)) return;
  if (typed != nullptr) {
    if (!model_->FieldOfColumn(current_column_).IsValidChar(FirstCharacter(*typed))) {
      QApplication::beep();
      return;
    }
    // Typing edits the field: the dataset must consent first (on an empty table it inserts).
    if (!RunReported([this] { link_.edit(); }) || !link_.Editing()) return;
  }
  const int row = model_->ActiveRow();
  if (row < 0) return;
  placeCursor();
  view_->edit(model_->index(row, current_column_));
  QLineEdit* editor = cell_editor_->Editor();
  if (editor == nullptr || typed == nullptr) return;
  // The typed character replaces the cell's text.
  editor->selectAll();
  QKeyEvent key(typed->type(), typed->key(), typed->modifiers(), typed->text());
  QCoreApplication::sendEvent(editor, &key);
}

void TDBGrid::enterCell() {
  if (RunReported([this] { cell_editor_->writeTypedText(); })) {
    cell_editor_->close();
  } else if (QLineEdit* editor = cell_editor_->Editor()) {
    editor->selectAll();
  }
}

void TDBGrid::escape(TDbf& dataset) {
  const bool typed = cell_editor_->Modified();
  cell_editor_->close();
  if (!typed) dataset.cancel();
}

void TDBGrid::deleteCurrentRecord(TDbf& dataset) {
  if (link_.ReadOnly() || !dataset.canModify() || dataset.isEmpty()) return;
  if (options_.testFlag(dgConfirmDelete) && !ConfirmRecordDeletion()) return;
  dataset.deleteRecord();
}

void TDBGrid::leaveGrid(TDbf& dataset) {
  if (options_.testFlag(dgCancelOnExit) && newRecordUntouched()) {
    dataset.cancel();
  } else {
    writeTypedText();
  }
}

bool TDBGrid::canEdit() const {
  return options_.testFlag(dgEditing) && !link_.ReadOnly() && link_.Active() && link_.DataSet()->canModify();
}

bool TDBGrid::newRecordUntouched() const {
  const TDbf* dataset = link_.Active() ? link_.DataSet() : nullptr;
  return dataset != nullptr && dataset->state() == TDataSetState::StateInsert && !dataset->modified() &&
         !cell_editor_->Modified();
}

}  // namespace dbf
