// What the examiner sees when the results table cannot take a subject (deleted underneath
// the program, a full disk, a layout that cannot be written): one error box with the
// whole story, and nothing entered is lost.
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "ProgramTestSupport.h"
#include "TDBEdit.h"
#include "Unit1.h"
#include "Unit3.h"

namespace app::testing {
namespace {

using dbf::TNavigateBtn;

class ResultsTableFaults : public TProgramTest {
 protected:
  std::string ResultsPath() const { return InProgramFolder("VYSLEDKY.DBF"); }
  std::vector<QString> ErrorsSaying(const std::string& text) const { return {QString::fromStdString(text)}; }
};

// A post the table cannot take shows why and leaves the subject in insert state, boxes
// as typed, nothing evaluated.
TEST_F(ResultsTableFaults, APostTheTableCannotTakeSaysWhyAndTheSubjectWaits) {
  dbf::filetest::TFaults faults;
  const dbf::filetest::TFaultyFiles seam(faults);
  const struct {
    const char* fault;
    std::function<void()> make;
  } cases[] = {
      {": it was deleted by another program since it was opened.", [this] { std::filesystem::remove(ResultsPath()); }},
      {": no space left on device.", [&faults] { faults.failing_write = faults.writes + 1; }}};
  for (const auto& [fault, make] : cases) {
    SCOPED_TRACE(fault);
    LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
    ClickNavigator(TNavigateBtn::nbInsert);
    Form1->DBEdit1->setText(QStringLiteral("Nováková"));
    for (int picture : {9, 21, 6}) ClickPicture(picture);
    dialogs.shown.clear();
    make();
    ClickNavigator(TNavigateBtn::nbPost);
    EXPECT_EQ(dialogs.Errors(), ErrorsSaying("Cannot write file " + ResultsPath() + fault));
    EXPECT_EQ(DataModule3->Dbf1.state(), dbf::TDataSetState::StateInsert);
    EXPECT_EQ(Form1->DBEdit1->text(), QStringLiteral("Nováková"));
    EXPECT_EQ(Form1->DBEdit4->text(), QStringLiteral("|9|21|6"));
    EXPECT_FALSE(Form1->GroupBox1->isVisible());
    DataModule3->Dbf1.cancel();
  }
}

// A results table whose header gives records one byte longer than its fields fill: the
// load ends with that one error (typing into its boxes raised it at every key) and the
// table stays closed and as it was.
TEST_F(ResultsTableFaults, ATableThatCannotBeWrittenEndsTheLoadWithOneError) {
  const dbf::filetest::TBytes bytes = dbf::filetest::TRawTable{.fields = {{"PRIJMENI", 'C', 15},
                                                                          {"JMENO", 'C', 15},
                                                                          {"RC1", 'C', 6},
                                                                          {"RC2", 'C', 4},
                                                                          {"POC_SPR", 'N', 5},
                                                                          {"POC_CHYB", 'N', 5},
                                                                          {"SUMA_AGR", 'N', 3},
                                                                          {"SUMA_SM", 'N', 3},
                                                                          {"POM_A_S", 'C', 5},
                                                                          {"POM_S_S", 'C', 5},
                                                                          {"ODPOVEDI", 'C', 254}},
                                                               .record_length = 322}
                                          .Bytes();
  dbf::filetest::WriteFileBytes(ResultsPath(), bytes);
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  EXPECT_EQ(dialogs.Errors(), ErrorsSaying("Cannot write file " + ResultsPath() +
                                           ": its header gives records of 322 bytes, but its fields as read fill 321 "
                                           "(writing would shift the fields for every other reader)"));
  EXPECT_FALSE(DataModule3->Dbf1.Active());
  EXPECT_FALSE(Form1->Label27->isVisible());
  DestroyProgramWindows();
  EXPECT_EQ(dbf::filetest::ReadFileBytes(ResultsPath()), bytes);
}

}  // namespace
}  // namespace app::testing
