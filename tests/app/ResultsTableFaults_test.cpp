// What the examiner sees when the results table cannot take a subject: a table deleted
// or replaced underneath the program, a table whose layout cannot be written, a full
// disk, a value too long for its field. Each is one error box with the whole story, and
// nothing the examiner entered is thrown away.
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
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

// A results table whose header gives records one byte longer than its eleven fields
// fill: it reads, but writing a record would shift its fields for every other reader.
dbf::filetest::TBytes UnwritableResultsTable() {
  dbf::filetest::TRawTable table{.fields = {{"PRIJMENI", 'C', 15},
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
                                 .record_length = 322};
  return table.Bytes();
}

// Once, at the load: typing into the identity boxes of such a table raised the refusal
// again at every key.
TEST_F(ResultsTableFaults, ATableThatCannotBeWrittenEndsTheLoadWithOneError) {
  const dbf::filetest::TBytes bytes = UnwritableResultsTable();
  dbf::filetest::WriteFileBytes(ResultsPath(), bytes);
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  EXPECT_EQ(dialogs.Errors(), std::vector<QString>{QString::fromStdString(
                                  "Cannot write file " + ResultsPath() +
                                  ": its header gives records of 322 bytes, but its fields as read fill 321 (writing "
                                  "would shift the fields for every other reader)")});
  EXPECT_FALSE(DataModule3->Dbf1.Active()) << "closed, as a table that lacks a field";
  EXPECT_FALSE(Form1->Label27->isVisible()) << "the load ended at the table";
  EXPECT_FALSE(Form1->DBNavigator1->Button(TNavigateBtn::nbInsert)->isEnabled());
  DestroyProgramWindows();
  EXPECT_EQ(dbf::filetest::ReadFileBytes(ResultsPath()), bytes) << "left as it was";
}

// The program's error report says what the system said: a full disk.
TEST_F(ResultsTableFaults, AFullDiskIsReportedWithTheSystemsReason) {
  dbf::filetest::TFaults faults;
  const dbf::filetest::TFaultyFiles seam(faults);
  EnterSubject();
  faults.failing_write = faults.writes + 1;
  ClickNavigator(TNavigateBtn::nbPost);
  EXPECT_EQ(dialogs.Errors(), std::vector<QString>{QString::fromStdString("Cannot write file " + ResultsPath() +
                                                                          ": no space left on device.")});
  EXPECT_EQ(DataModule3->Dbf1.state(), dbf::TDataSetState::StateInsert);
}

// A results table of another layout whose POC_SPR holds one digit: ten pictures do not
// fit, and the message names the field and the table.
TEST_F(ResultsTableFaults, AValueTooLongForItsFieldNamesTheFieldAndTheTable) {
  dbf::filetest::TRawTable table{.fields = {{"PRIJMENI", 'C', 15},
                                            {"JMENO", 'C', 15},
                                            {"RC1", 'C', 6},
                                            {"RC2", 'C', 4},
                                            {"POC_SPR", 'N', 1},
                                            {"POC_CHYB", 'N', 5},
                                            {"SUMA_AGR", 'N', 3},
                                            {"SUMA_SM", 'N', 3},
                                            {"POM_A_S", 'C', 5},
                                            {"POM_S_S", 'C', 5},
                                            {"ODPOVEDI", 'C', 254}}};
  dbf::filetest::WriteFileBytes(ResultsPath(), table.Bytes());
  EnterSubject();
  for (int picture = 1; picture <= 8; ++picture) ClickPicture(picture);
  ClickNavigator(TNavigateBtn::nbPost);
  EXPECT_EQ(dialogs.Errors(),
            std::vector<QString>{QString::fromStdString(
                "Field data too long :2 (must be between 1 and 1). Field 'POC_SPR' of table " + ResultsPath() + ".")});
}

// Closing what the program only read leaves it byte for byte: the subjects table the
// identity came from, and a subjects table that a configuration named as its results
// table, refused at the load.
TEST_F(ResultsTableFaults, TablesOnlyReadStayByteForByte) {
  const QString subjects = Example(QStringLiteral("SK_00123.dbf"));
  const QByteArray subjects_bytes = ReadFile(subjects);
  WriteFile(QString::fromStdString(InProgramFolder("SUBJ.DBF")), subjects_bytes);
  QByteArray configuration = ReadFile(Example(QStringLiteral("prikl1.ini")));
  configuration.replace("VYSLEDKY ", "SUBJ     ");
  WriteFile(Example(QStringLiteral("subj.ini")), configuration);

  LoadConfiguration(Example(QStringLiteral("subj.ini")));
  EXPECT_EQ(dialogs.Errors(), std::vector<QString>{QStringLiteral("Dbf1: Field 'POC_SPR' not found.")});
  OpenSubjectsTable(subjects);
  Click(Form1->Button4);
  DestroyProgramWindows();
  EXPECT_EQ(ReadFile(subjects), subjects_bytes);
  EXPECT_EQ(ReadFile(QString::fromStdString(InProgramFolder("SUBJ.DBF"))), subjects_bytes);
}

}  // namespace
}  // namespace app::testing
