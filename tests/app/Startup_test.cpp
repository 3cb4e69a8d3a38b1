// Start-up: the five program-wide windows exist once each, hidden but for the main
// window, with both tables closed; the application title is cut from the executable's
// name; header findings of a table are shown in a message box.
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

}  // namespace
}  // namespace app::testing
