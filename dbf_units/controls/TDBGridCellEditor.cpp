// The bound grid's in-place editor and how its text reaches the field.
#include "TDBGridCellEditor.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "DbfDialogs.h"
#include "DbfFields.h"

namespace dbf {

namespace {

// Space beside a cell's text: half of the column width rule's padding.
constexpr int kTextMargin = 2;

}  // namespace

TDBGridCellEditor::TDBGridCellEditor(const TDBGridModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

void TDBGridCellEditor::writeTypedText() const {
  if (editor_ == nullptr || !modified_) return;
  model_.FieldOfColumn(column_).assignEditText(editor_->text().toStdString());
  modified_ = false;
}

void TDBGridCellEditor::close() {
  if (editor_ != nullptr) emit closeEditor(editor_, QAbstractItemDelegate::NoHint);
}

void TDBGridCellEditor::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // Plainer than the style's item painting, and several times cheaper: a grid repaints
  // all its cells after every jump through the table.
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  const QPalette::ColorGroup group = (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
  if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
  painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
  painter->drawText(option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                    static_cast<int>(alignment) | Qt::TextSingleLine, index.data(Qt::DisplayRole).toString());
}

QWidget* TDBGridCellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  const TField& field = model_.FieldOfColumn(index.column());
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  editor->setContextMenuPolicy(Qt::NoContextMenu);
  editor->setAlignment(model_.data(index, Qt::TextAlignmentRole).value<Qt::Alignment>());
  // A text column holds Size characters; what would not fit is refused while typing.
  if (field.DataType() == TFieldType::ftString) editor->setMaxLength(field.Size());
  connect(editor, &QLineEdit::textEdited, this, [this] { modified_ = true; });
  editor_ = editor;
  column_ = index.column();
  modified_ = false;
  return editor;
}

void TDBGridCellEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line_edit = static_cast<QLineEdit*>(editor);
  const QString text = QString::fromStdString(model_.FieldOfColumn(index.column()).editText());
  // A reload of an unchanged value (the edit request's record event) keeps the caret.
  if (modified_ || line_edit->text() == text) return;
  line_edit->setText(text);
  line_edit->selectAll();
}

void TDBGridCellEditor::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
  RunReported([this] { writeTypedText(); });
}

void TDBGridCellEditor::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  if (editor == editor_) {
    editor_ = nullptr;
    column_ = -1;
    modified_ = false;
  }
  QStyledItemDelegate::destroyEditor(editor, index);
}

bool TDBGridCellEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && key_handler && key_handler(static_cast<QKeyEvent&>(*event))) {
    return true;
  }
  return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace dbf
