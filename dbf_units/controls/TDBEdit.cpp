#include "TDBEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

#include "DbfDialogs.h"
#include "FieldAlignment.h"
#include "dbf.h"

namespace dbf {

namespace {

constexpr QChar kBackspace(u'\b');
constexpr QChar kCarriageReturn(u'\r');
constexpr QChar kEscape(u'\x1b');
// QLineEdit's own limit, which stands for no limit.
constexpr int kUnlimitedLength = 32767;

// The character a key types, as the key-press handler sees it: a printable character,
// Backspace, Enter or Esc; null for every other key and for shortcuts.
QChar TypedCharacter(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Backspace:
      return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kCarriageReturn;
    case Qt::Key_Escape:
      return kEscape;
    default:
      break;
  }
  const QString text = event.text();
  if (text.isEmpty() || event.modifiers().testFlag(Qt::ControlModifier)) return QChar();
  return text.front().isPrint() ? text.front() : QChar();
}

Qt::Key KeyTyping(QChar character) {
  if (character == kBackspace) return Qt::Key_Backspace;
  if (character == kCarriageReturn) return Qt::Key_Return;
  return Qt::Key_unknown;
}

bool IsEditingState(TDataSetState state) {
  return state == TDataSetState::StateEdit || state == TDataSetState::StateInsert;
}

}  // namespace

TDBEditDataLink::TDBEditDataLink(TDBEdit& edit, const std::string& control_name)
    : TFieldDataLink(control_name), edit_(edit) {}

void TDBEditDataLink::dataChange() { edit_.loadFromField(); }

void TDBEditDataLink::editingChange() { edit_.followOwnEditing(); }

void TDBEditDataLink::updateData() { edit_.writeToField(); }

void TDBEditDataLink::focusControl() { edit_.setFocus(); }

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent), link_(*this, std::string()) {
  setReadOnly(true);
  connect(this, &QLineEdit::textChanged, this, [this] { link_.SetModified(); });
  connect(this, &QObject::objectNameChanged, this, [this](const QString& name) {
    setAccessibleName(name);
    link_.SetControlName(name.toStdString());
  });
}

TDataSource* TDBEdit::DataSource() const { return link_.DataSource(); }

void TDBEdit::SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

const std::string& TDBEdit::DataField() const { return link_.FieldName(); }

void TDBEdit::SetDataField(const std::string& field_name) { link_.SetFieldName(field_name); }

TField* TDBEdit::Field() const { return link_.Field(); }

bool TDBEdit::ReadOnly() const { return link_.ReadOnly(); }

void TDBEdit::SetReadOnly(bool read_only) { link_.SetReadOnly(read_only); }

void TDBEdit::SetMaxLength(int length) {
  max_length_ = length;
  applyMaxLength();
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
  RunReported([&] { handleKeyPress(*event); });
}

void TDBEdit::focusInEvent(QFocusEvent* event) {
  // Focus coming back after a failed write back, or from another window, finds the box
  // still entered: its pending text stays. So does a text the program put into the box
  // and nothing has written to the field yet (an identity copied from the subjects
  // table): a click to correct one letter must not bring back the empty field.
  if (!focused_) {
    focused_ = true;
    if (!link_.Modified()) RunReported([&] { link_.reset(); });
  }
  QLineEdit::focusInEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
  // Another window or a pop-up menu taking the focus does not leave the box.
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
    RunReported([&] {
      try {
        link_.updateRecord();
      } catch (...) {
        setFocus();
        selectAll();
        throw;
      }
      focused_ = false;
      link_.reset();
    });
    if (focused_) return;
  }
  QLineEdit::focusOutEvent(event);
}

void TDBEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  if (isReadOnly() && link_.CanModify()) addEditCommands(*menu);
  menu->popup(event->globalPos());
}

void TDBEdit::loadFromField() {
  const TField* field = link_.Field();
  setAlignment(TextAlignmentOf(field));
  applyMaxLength();
  QString shown;
  if (field != nullptr) {
    shown = QString::fromStdString(focused_ && link_.CanModify() ? field->editText() : field->displayText());
  }
  // The same text is not set again, so the cursor and the selection survive an edit
  // request that reloads the box.
  if (text() != shown) setText(shown);
}

void TDBEdit::followOwnEditing() { setReadOnly(!link_.OwnEditing()); }

void TDBEdit::writeToField() {
  if (IsEditingState(link_.DataSet()->state())) link_.Field()->assignEditText(text().toStdString());
}

void TDBEdit::applyMaxLength() {
  int limit = max_length_;
  if (limit == 0) {
    const TField* field = link_.Field();
    limit = field != nullptr && field->DataType() == TFieldType::ftString ? field->Size() : kUnlimitedLength;
  }
  // Setting the limit sets the text again, which would drop the selection.
  if (maxLength() != limit) QLineEdit::setMaxLength(limit);
}

void TDBEdit::handleKeyPress(QKeyEvent& event) {
  if (event.key() == Qt::Key_Delete || event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut)) {
    link_.edit();
  }
  const QChar typed = TypedCharacter(event);
  if (typed.isNull()) {
    QLineEdit::keyPressEvent(&event);
    return;
  }
  QChar key = typed;
  if (OnKeyPress) OnKeyPress(*this, key);
  if (key.isPrint() && Field() != nullptr && !Field()->IsValidChar(key.unicode())) {
    QApplication::beep();
    return;
  }
  if (key == kEscape) {
    link_.reset();
    selectAll();
    return;
  }
  if (key.isNull()) return;
  if (key.isPrint() || key == kBackspace) link_.edit();
  if (key == typed) {
    QLineEdit::keyPressEvent(&event);
    return;
  }
  QKeyEvent replaced(QEvent::KeyPress, KeyTyping(key), Qt::NoModifier, key.isPrint() ? QString(key) : QString());
  QLineEdit::keyPressEvent(&replaced);
}

void TDBEdit::addEditCommands(QMenu& menu) {
  struct TCommand {
    const char* text;
    QKeySequence::StandardKey key;
    bool available;
    void (QLineEdit::*run)();
  };
  const TCommand commands[] = {
      {"Cu&t", QKeySequence::Cut, hasSelectedText(), &QLineEdit::cut},
      {"&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(), &QLineEdit::paste},
  };
  QAction* first_standard = menu.actions().value(0);
  for (const TCommand& command : commands) {
    // Qt's own captions, so that its translation applies as in the standard menu.
    auto* action = new QAction(
        QLineEdit::tr(command.text) + QLatin1Char('\t') + QKeySequence(command.key).toString(QKeySequence::NativeText),
        &menu);
    action->setEnabled(command.available);
    connect(action, &QAction::triggered, this, [this, run = command.run] {
      RunReported([&] {
        if (link_.edit()) (this->*run)();
      });
    });
    menu.insertAction(first_standard, action);
  }
  menu.insertSeparator(first_standard);
}

}  // namespace dbf
