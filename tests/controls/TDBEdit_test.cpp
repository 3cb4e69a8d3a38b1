// The bound edit box over the results table: what it shows and how much it takes, the
// keys that ask for an edit, the read-only answer box, and the write back on focus loss.
#include "TDBEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include "DatasetTestSupport.h"
#include "ScriptedDialogs.h"

namespace dbf {
namespace {

using S = TDataSetState;

void Press(QWidget* box, Qt::Key key, Qt::KeyboardModifiers modifiers = {}, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(box, &press);
}

// Typing as a keyboard of any language does it: each character is the text of a key.
void Type(QWidget* box, const QString& text) {
  for (const QChar character : text) Press(box, Qt::Key_unknown, {}, QString(character));
}

// The results table holding one stored subject "Novák", and a window for bound boxes.
class TDBEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dbf->open();
    dbf->startAppend();
    dbf->fieldNamed("PRIJMENI").writeString("Novák");
    dbf->post();
    source.SetDataSet(dbf.get());
  }
  TDBEdit* Box(const char* name, const std::string& field) {
    auto* box = new TDBEdit(&window);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(8, 8 + 30 * static_cast<int>(window.children().size()), 121, 21);
    box->SetDataSource(&source);
    box->SetDataField(field);
    return box;
  }
  std::string Stored(const char* field) const { return dbf->fieldNamed(field).readString(); }

  testing::TScratchFolder folder;
  testing::TScriptedDialogs dialogs;
  std::unique_ptr<TDbf> dbf = testing::ResultsTable(folder);
  TDataSource source;
  QWidget window;
};

TEST_F(TDBEditTest, ShowsItsFieldAndTakesAsManyCharactersAsTheFieldHolds) {
  dbf->close();
  TDBEdit* surname = Box("DBEdit1", "PRIJMENI");
  TDBEdit* count = Box("DBEdit2", "POC_SPR");
  EXPECT_EQ(surname->accessibleName(), "DBEdit1");
  EXPECT_TRUE(surname->text().isEmpty() && surname->isReadOnly()) << "closed table";
  dbf->open();
  EXPECT_EQ(count->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_EQ(surname->text(), "Novák");
  surname->selectAll();
  Type(surname, "Šťastný-Dvořákůx");  // the 16th character is refused
  EXPECT_EQ(surname->text(), "Šťastný-Dvořáků") << "characters, not UTF-8 bytes";
  dbf->post();
  EXPECT_EQ(Stored("PRIJMENI"), "Šťastný-Dvořáků");
  EXPECT_EQ(testing::MessageOf([&] { surname->SetDataField("PRIJMEN"); }), "DBEdit1: Field 'PRIJMEN' not found");
}

TEST_F(TDBEditTest, KeysThatWouldChangeTheTextAskForAnEditFirst) {
  TDBEdit* surname = Box("DBEdit1", "PRIJMENI");
  TDBEdit* count = Box("DBEdit2", "POC_SPR");
  TDBEdit* read_only = Box("DBEdit3", "JMENO");
  read_only->SetReadOnly(true);
  int returns = 0;
  QObject::connect(surname, &QLineEdit::returnPressed, [&] { ++returns; });
  surname->OnKeyPress = [](TDBEdit&, QChar& key) {
    if (key == u'\r') key = QChar();
    if (key == u'q') key = u'w';
  };
  QGuiApplication::clipboard()->setText("X");
  const struct {
    const char* what;
    TDBEdit* box;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* key_text;
    S state;
    const char* text;
  } cases[] = {
      {"a letter", surname, Qt::Key_A, {}, "a", S::StateEdit, "Nováka"},
      {"Backspace", surname, Qt::Key_Backspace, {}, "\b", S::StateEdit, "Nová"},
      {"Delete", surname, Qt::Key_Delete, {}, "", S::StateEdit, "Novák"},
      {"Ctrl+V", surname, Qt::Key_V, Qt::ControlModifier, "\x16", S::StateEdit, "NovákX"},
      {"Shift+Insert", surname, Qt::Key_Insert, Qt::ShiftModifier, "", S::StateEdit, "NovákX"},
      {"Ctrl+X", surname, Qt::Key_X, Qt::ControlModifier, "\x18", S::StateEdit, "Novák"},
      {"a letter the handler replaces", surname, Qt::Key_Q, {}, "q", S::StateEdit, "Novákw"},
      {"Enter the handler swallows", surname, Qt::Key_Return, {}, "\r", S::StateBrowse, "Novák"},
      {"a letter in a number box", count, Qt::Key_X, {}, "x", S::StateBrowse, ""},
      {"a digit in a number box", count, Qt::Key_7, {}, "7", S::StateEdit, "7"},
      {"a letter in a read-only box", read_only, Qt::Key_A, {}, "a", S::StateBrowse, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Press(c.box, c.key, c.modifiers, QString::fromLatin1(c.key_text));
    EXPECT_EQ(dbf->state(), c.state);
    EXPECT_EQ(c.box->text(), c.text);
    dbf->cancel();
  }
  EXPECT_EQ(returns, 0);
  Type(surname, "ová");
  Press(surname, Qt::Key_Escape, {}, "\x1b");
  EXPECT_EQ(surname->selectedText(), "Novák") << "Esc reloads the field and selects it";
  EXPECT_EQ(dbf->state(), S::StateEdit);
}

TEST_F(TDBEditTest, TypingIntoAStoredRecordStartsAnEditThatAnInsertStoresFirst) {
  TDBEdit* surname = Box("DBEdit1", "PRIJMENI");
  Type(surname, "ová");
  EXPECT_EQ(dbf->state(), S::StateEdit);
  dbf->startInsert();
  EXPECT_EQ(surname->text(), "");
  EXPECT_EQ(dbf->recordCount(), 1);
  dbf->cancel();
  EXPECT_EQ(Stored("PRIJMENI"), "Nováková");
}

TEST_F(TDBEditTest, ReadOnlyBoxTextIsStoredByPostWhileInsertingAndLostInBrowse) {
  TDBEdit* answers = Box("DBEdit4", "ODPOVEDI");
  answers->SetReadOnly(true);
  answers->setEnabled(false);
  dbf->startInsert();
  answers->setText("|1|2");
  dbf->post();
  EXPECT_EQ(Stored("ODPOVEDI"), "|1|2");
  answers->setText("|9");
  dbf->moveFirst();
  dbf->moveLast();
  EXPECT_EQ(answers->text(), "|1|2");
  EXPECT_EQ(Stored("ODPOVEDI"), "|1|2");
}

TEST_F(TDBEditTest, FocusLossWritesBackAndAFailedWriteKeepsTheFocus) {
  TDBEdit* count = Box("DBEdit2", "POC_SPR");
  TDBEdit* surname = Box("DBEdit1", "PRIJMENI");
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  count->setFocus();
  Type(count, "99999999999");
  surname->setFocus();
  EXPECT_EQ(dialogs.Errors(), std::vector<QString>{"'99999999999' is not a valid integer value for field 'POC_SPR'"});
  EXPECT_EQ(QApplication::focusWidget(), count);
  EXPECT_EQ(count->selectedText(), "99999999999");
  Type(count, "42");
  surname->setFocus();
  EXPECT_EQ(QApplication::focusWidget(), surname);
  EXPECT_EQ(Stored("POC_SPR"), "42");
  dbf->post();
  surname->setText("Nový");
  count->setFocus();
  EXPECT_EQ(Stored("PRIJMENI"), "Novák") << "text set in browse is not written";
  EXPECT_EQ(surname->text(), "Novák");
  EXPECT_EQ(dialogs.Errors().size(), 1u);
}

}  // namespace
}  // namespace dbf
