// Start-up: the five program-wide windows exist once each, hidden but for the main
// window, with both tables closed; the application title is cut from the executable's
// name; header findings of a table are shown in a message box.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "ProgramTestSupport.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "WindowParts.h"

namespace app::testing {
namespace {

using Startup = TProgramTest;

TEST_F(Startup, WindowsExistOnceEachWithBothTablesClosed) {
  EXPECT_TRUE(Form1->isVisible());
  EXPECT_FALSE(Form2->isVisible() || Form4->isVisible() || Form5->isVisible());
  EXPECT_FALSE(DataModule3->Dbf1.Active() || DataModule3->Dbf2.Active());
  EXPECT_EQ(DataModule3->Dbf1.TableName(), "Tarni2.dbf");
  EXPECT_EQ(DataModule3->Dbf2.TableName(), "");
  EXPECT_EQ(Form1->StaticText1->text(), QStringLiteral("1"));
  EXPECT_FALSE(Form1->GroupBox1->isVisible() || Form1->Label27->isVisible());
}

TEST(ApplicationTitle, IsTheExecutablesNameCutAtItsFirstPoint) {
  EXPECT_EQ(ApplicationTitleOf(QStringLiteral("/opt/Vyhod_Tarni")), QStringLiteral("Vyhod_tarni"));
  EXPECT_EQ(ApplicationTitleOf(QStringLiteral("/x.y/VYHOD.TARNI.EXE")), QStringLiteral("Vyhod"));
  EXPECT_EQ(ApplicationTitleOf(QStringLiteral("app_tests")), QStringLiteral("app_tests"));
}

TEST_F(Startup, HeaderFindingsAreShownAndTheLoadGoesOn) {
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  DestroyProgramWindows();
  // The header claims ten records that the file does not hold.
  const std::string results = InProgramFolder("VYSLEDKY.DBF");
  dbf::filetest::TBytes bytes = dbf::filetest::ReadFileBytes(results);
  bytes[4] = 10;
  dbf::filetest::WriteFileBytes(results, bytes);
  CreateProgramWindows();
  Form1->show();
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  ASSERT_EQ(dialogs.shown.back().kind, QStringLiteral("message"));
  EXPECT_TRUE(dialogs.shown.back().text.startsWith(QStringLiteral("Invalid Record Count,\n")));
  EXPECT_EQ(dialogs.shown.back().title, ApplicationTitle());
  EXPECT_TRUE(Form1->Label27->isVisible());
}

// A screen reader (or a tool driving the program) finds every control by its documented
// name: controls that show a text carry it as their description, so their text stays
// what they are read as; the others carry it as their accessible name.
TEST_F(Startup, EveryControlIsFoundByItsDocumentedName) {
  struct Window {
    QWidget* window;
    QStringList names;
  };
  const Window windows[] = {
      {Form1, {"Label10", "Label11", "Label23",   "Label24",     "Label25",     "Label26", "Label28", "Label29",
               "Label1",  "DBEdit1", "Label2",    "DBEdit2",     "Label3",      "DBEdit3", "Label22", "DBEdit5",
               "Button4", "Label27", "Label4",    "StaticText1", "StaticText2", "Label6",  "DBEdit4", "Image1",
               "Button2", "Button1", "GroupBox1", "Label5",      "Label7",      "Label12", "Label13", "Label14",
               "Label15", "Label16", "Label17",   "Label18",     "Label19",     "Label20", "Label21", "Button3"}},
      {Form2, {"Label10", "Edit1", "Memo1", "Memo2", "Label1", "Label5", "Label9"}},
      {Form4, {"DBGrid1"}},
      {Form5, {"Memo1", "Button1"}},
  };
  for (const Window& w : windows) {
    for (const QString& name : w.names) {
      SCOPED_TRACE((w.window->objectName() + QLatin1Char('.') + name).toStdString());
      const QWidget* control = w.window->findChild<QWidget*>(name);
      ASSERT_NE(control, nullptr);
      const bool shows_text = qobject_cast<const QLabel*>(control) != nullptr ||
                              qobject_cast<const QGroupBox*>(control) != nullptr ||
                              qobject_cast<const QAbstractButton*>(control) != nullptr;
      EXPECT_EQ(shows_text ? control->accessibleDescription() : control->accessibleName(), name);
      if (shows_text) {
        EXPECT_EQ(control->accessibleName(), QString());
      }
    }
  }
}

}  // namespace
}  // namespace app::testing
