// What the examiner sees when the results table cannot take a subject: a table deleted
// or replaced underneath the program, a table whose layout cannot be written, a full
// disk, a value too long for its field. Each is one error box with the whole story, and
// nothing the examiner entered is thrown away.
#include <QGroupBox>
#include <filesystem>

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

  // The configuration loaded, a subject inserted with the identity from the subjects
  // table and three answers.
  void EnterSubject() {
    LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
    OpenSubjectsTable(Example(QStringLiteral("SK_00123.dbf")));
    ClickNavigator(TNavigateBtn::nbInsert);
    Click(Form1->Button4);
    for (int picture : {9, 21, 6}) ClickPicture(picture);
  }
};

TEST_F(ResultsTableFaults, APostIntoATableDeletedUnderneathIsRefusedAndTheSubjectWaits) {
  EnterSubject();
  const std::vector<QString> identity = IdentityTexts();
  std::filesystem::remove(ResultsPath());

  ClickNavigator(TNavigateBtn::nbPost);
  EXPECT_EQ(dialogs.Errors(),
            std::vector<QString>{QString::fromStdString("Cannot write file " + ResultsPath() +
                                                        ": it was deleted by another program since it "
                                                        "was opened.")});
  EXPECT_EQ(DataModule3->Dbf1.state(), dbf::TDataSetState::StateInsert);
  EXPECT_EQ(IdentityTexts(), identity) << "the boxes keep what was typed";
  EXPECT_EQ(Form1->DBEdit4->text(), QStringLiteral("|9|21|6"));
  EXPECT_FALSE(Form1->GroupBox1->isVisible()) << "nothing stored, nothing evaluated";
  EXPECT_FALSE(std::filesystem::exists(ResultsPath()));
}

}  // namespace
}  // namespace app::testing
