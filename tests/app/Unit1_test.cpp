// The main window: answer entry on the template, the identity copy from the subjects
// table with its end-of-table message and its refusals, Enter in the identity boxes, and
// the menu commands that show the secondary windows.
#include "Unit1.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "ProgramTestSupport.h"
#include "TDBEdit.h"
#include "TImage.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"

namespace app::testing {
namespace {

using dbf::TNavigateBtn;

class MainWindow : public TProgramTest {
 protected:
  // A subjects table in the current folder: a running number, then `field_count` - 1
  // text fields; record k holds "<letter><k>" in field k.
  QString SubjectsTable(const std::string& name, int field_count, int records) {
    const std::string path = (std::filesystem::current_path() / name).string();
    dbf::TDbf table;
    table.SetTableName(path);
    table.FieldDefs().Add("CISLO", dbf::TFieldType::ftInteger, 4, false);
    for (int field = 1; field < field_count; ++field) {
      table.FieldDefs().Add("POLE" + std::to_string(field), dbf::TFieldType::ftString, 10, false);
    }
    table.createTable();
    table.open();
    for (int record = 1; record <= records; ++record) {
      table.startAppend();
      table.fieldAt(0).writeInteger(record);
      for (int field = 1; field < field_count; ++field) {
        table.fieldAt(field).writeString(std::string(1, static_cast<char>('a' + field - 1)) + std::to_string(record));
      }
      table.post();
    }
    table.close();
    return QString::fromStdString(path);
  }

  static std::vector<QString> Identity(int record) {
    std::vector<QString> texts;
    for (QChar letter : {u'a', u'b', u'c', u'd'}) texts.push_back(letter + QString::number(record));
    return texts;
  }
};

TEST_F(MainWindow, PictureNumberShowsWhileTheButtonIsHeldAndMissesChangeNothing) {
  QTest::mousePress(Form1->Image1, Qt::RightButton, Qt::ShiftModifier, QPoint(22, 23));
  EXPECT_EQ(Form1->StaticText2->text(), QStringLiteral("1"));
  QTest::mouseRelease(Form1->Image1, Qt::RightButton, Qt::ShiftModifier, QPoint(22, 23));
  EXPECT_EQ(Form1->StaticText2->text(), QString());
  for (const QPoint miss : {QPoint(153, 200), QPoint(100, 136), QPoint(10, 10)}) ClickTemplate(miss.x(), miss.y());
  ClickTemplate(782, 551);
  Click(Form1->Button1);
  ClickPicture(1);
  EXPECT_EQ(Form1->DBEdit4->text(), QStringLiteral("|1|30|0|0"));
  EXPECT_EQ(Form1->StaticText1->text(), QStringLiteral("4"));
  Click(Form1->Button2);
  EXPECT_EQ(Form1->DBEdit4->text(), QStringLiteral("|1|30|0"));
  EXPECT_EQ(Form1->StaticText1->text(), QStringLiteral("4"));
}

TEST_F(MainWindow, IdentityCopyWalksTheSubjectsTableAndStopsAtItsEnd) {
  const QString end_message = QStringLiteral("V DBF soubor probandů jste na poslední větě!");
  const QString three_subjects = SubjectsTable("TRI.DBF", 5, 3);
  OpenSubjectsTable(three_subjects);
  for (int record = 1; record <= 3; ++record) {
    Click(Form1->Button4);
    EXPECT_EQ(IdentityTexts(), Identity(record));
  }
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Form1->Label26->text(), QStringLiteral("TRI.DBF"));
  Click(Form1->Button4);
  EXPECT_EQ(IdentityTexts(), Identity(3));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, end_message);

  // The browser's last button: the last subject is copied and the message follows at once.
  OpenSubjectsTable(three_subjects);
  Form4->DBNavigator1->Button(TNavigateBtn::nbLast)->click();
  Click(Form1->Button4);
  EXPECT_EQ(IdentityTexts(), Identity(3));
  EXPECT_EQ(Boxes().size(), 2u);

  // An empty table empties the boxes and shows the message.
  OpenSubjectsTable(SubjectsTable("PRAZDNA.DBF", 5, 0));
  Click(Form1->Button4);
  EXPECT_EQ(IdentityTexts(), std::vector<QString>(4));
  EXPECT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes().back().text, end_message);
}

TEST_F(MainWindow, IdentityCopyWithoutAWholeSubjectsTable) {
  // No subjects table: the browser is hidden and nothing else changes.
  Trigger(Form1->DBFproband1);
  EXPECT_TRUE(Form4->isVisible());
  Form1->DBEdit5->setText(QStringLiteral("9999"));
  Click(Form1->Button4);
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_EQ(IdentityTexts(), (std::vector<QString>{{}, {}, {}, QStringLiteral("9999")}));
  EXPECT_EQ(Form1->Label26->text(), QString());

  // Four fields: the boxes before the missing fifth field are filled, the subjects table
  // stays on its record, and the error is shown.
  OpenSubjectsTable(SubjectsTable("CTYRI.DBF", 4, 2));
  Click(Form1->Button4);
  EXPECT_EQ(IdentityTexts(), (std::vector<QString>{QStringLiteral("a1"), QStringLiteral("b1"), QStringLiteral("c1"),
                                                   QStringLiteral("9999")}));
  EXPECT_EQ(dialogs.Errors(), std::vector<QString>{QStringLiteral("List index out of bounds (4)")});
  EXPECT_EQ(DataModule3->Dbf2.fieldAt(0).readString(), "1");
}

TEST_F(MainWindow, EnterInTheIdentityBoxesMovesAlongTheTabOrder) {
  Form1->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  const std::vector<QWidget*> order = {Form1->DBEdit1, Form1->DBEdit2, Form1->DBEdit3, Form1->DBEdit5, Form1->Button1};
  Form1->DBEdit1->setFocus();
  for (size_t k = 0; k + 1 < order.size(); ++k) {
    ASSERT_EQ(QApplication::focusWidget(), order[k]);
    QTest::keyClick(order[k], Qt::Key_Return);
  }
  EXPECT_EQ(QApplication::focusWidget(), Form1->Button1);
  EXPECT_EQ(IdentityTexts(), std::vector<QString>(4));
  QTest::keyClick(Form1->Button1, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Form1->Button2);
  QTest::keyClick(Form1->Button2, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Form1->Button4) << "Návrat hidden, answer box disabled";
}

TEST_F(MainWindow, MenuCommandsShowTheSecondaryWindows) {
  for (QAction* command : {Form1->INIsoubor1, Form1->DBFproband1, Form1->HELP1}) Trigger(command);
  EXPECT_TRUE(Form2->isVisible() && Form4->isVisible() && Form5->isVisible());
  Click(Form5->Button1);
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_TRUE(Form1->isVisible());
}

}  // namespace
}  // namespace app::testing
