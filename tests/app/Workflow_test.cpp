// The examiner's road through the program, as the help window tells it, on a copy of
// examples/: configuration, insert, identity copied from the subjects table, answers
// clicked, post, evaluation, "Návrat", a second subject, end of the program; then the
// results table holds both subjects with their identity, answers and results. The
// examiner's slips on the way cost no stored subject.
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include "ProgramTestSupport.h"
#include "TDBEdit.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"

namespace app::testing {
namespace {

using dbf::TNavigateBtn;

class Workflow : public TProgramTest {
 protected:
  // "+", then the identity of the next subject from the subjects table.
  void StartSubject() {
    ClickNavigator(TNavigateBtn::nbInsert);
    Click(Form1->Button4);
  }

  // The tick, then "Návrat" once the evaluation has been read.
  std::vector<QString> PostAndReadEvaluation() {
    ClickNavigator(TNavigateBtn::nbPost);
    EXPECT_TRUE(Form1->GroupBox1->isVisible());
    std::vector<QString> results = ResultTexts();
    Click(Form1->Button3);
    EXPECT_FALSE(Form1->GroupBox1->isVisible());
    return results;
  }
};

TEST_F(Workflow, TwoSubjectsFollowingTheHelpTextEndInTheResultsTable) {
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  EXPECT_TRUE(Form1->Label27->isVisible());
  OpenSubjectsTable(Example(QStringLiteral("SK_00123.dbf")));

  StartSubject();
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_FALSE(Form1->Label27->isVisible());
  EXPECT_EQ(IdentityTexts(), (std::vector<QString>{QStringLiteral("Novák"), QStringLiteral("Jan"),
                                                   QStringLiteral("870314"), QStringLiteral("1007")}));
  // Ten pictures clicked by pixel, one error, and one click taken back and made again.
  for (int picture : {9, 21, 6}) ClickPicture(picture);
  Click(Form1->Button1);
  for (int picture : {1, 2, 7, 23}) ClickPicture(picture);
  Click(Form1->Button2);
  for (int picture : {24, 30, 18}) ClickPicture(picture);
  EXPECT_EQ(Form1->DBEdit4->text(), QStringLiteral("|9|21|6|0|1|2|7|24|30|18"));
  EXPECT_EQ(Form1->StaticText1->text(), QStringLiteral("10"));
  EXPECT_EQ(PostAndReadEvaluation(),
            (std::vector<QString>{QStringLiteral("9"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("2"),
                                  QStringLiteral(" 0.33"), QStringLiteral(" 0.22")}));

  StartSubject();
  for (int picture : {25, 29, 5}) ClickPicture(picture);
  EXPECT_EQ(PostAndReadEvaluation(),
            (std::vector<QString>{QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1"),
                                  QStringLiteral(" 0.33"), QStringLiteral(" 0.33")}));

  QSignalSpy ended(Form1, &TForm1::ProgramEnded);
  Trigger(Form1->konec1);
  EXPECT_EQ(ended.count(), 1);
  DestroyProgramWindows();
  EXPECT_EQ(dialogs.shown.size(), 2u) << "the two file dialogs and no message";

  const std::string results = InProgramFolder("VYSLEDKY.DBF");
  EXPECT_EQ(HeaderRecordCount(results), 2u);
  // Text fields read back without their leading blanks: " 0.33" is stored, "0.33" read.
  const std::vector<std::vector<std::string>> expected = {
      {"Novák", "Jan", "870314", "1007", "9", "1", "3", "2", "0.33", "0.22", "|9|21|6|0|1|2|7|24|30|18"},
      {"Svobodová", "Marie", "906102", "1376", "3", "0", "1", "1", "0.33", "0.33", "|25|29|5"},
  };
  EXPECT_EQ(RecordsOf(results), expected);
}

TEST_F(Workflow, NavigatorSetsFollowInsertPostAndCancel) {
  const std::vector<TNavigateBtn> start = {TNavigateBtn::nbInsert, TNavigateBtn::nbDelete, TNavigateBtn::nbPost,
                                           TNavigateBtn::nbCancel};
  const std::vector<TNavigateBtn> after_insert = {TNavigateBtn::nbDelete, TNavigateBtn::nbPost, TNavigateBtn::nbCancel};
  const std::vector<TNavigateBtn> after_post = {TNavigateBtn::nbInsert, TNavigateBtn::nbDelete, TNavigateBtn::nbCancel};
  EXPECT_EQ(VisibleNavigatorButtons(), start);
  for (TNavigateBtn button : start) {
    EXPECT_FALSE(Form1->DBNavigator1->Button(button)->isEnabled()) << "results table still closed";
  }
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  EXPECT_TRUE(Form1->DBNavigator1->Button(TNavigateBtn::nbInsert)->isEnabled());

  // Post with no answers: everything counts 0 and the ratios are "0".
  ClickNavigator(TNavigateBtn::nbInsert);
  EXPECT_EQ(VisibleNavigatorButtons(), after_insert);
  ClickNavigator(TNavigateBtn::nbPost);
  EXPECT_EQ(VisibleNavigatorButtons(), after_post);
  EXPECT_EQ(ResultTexts(), std::vector<QString>(6, QStringLiteral("0")));

  // Cancel right after insert: nothing is stored and the insert button is back.
  ClickNavigator(TNavigateBtn::nbInsert);
  ClickNavigator(TNavigateBtn::nbCancel);
  EXPECT_EQ(VisibleNavigatorButtons(), start);
  DestroyProgramWindows();
  const std::vector<std::vector<std::string>> expected = {{"", "", "", "", "0", "0", "0", "0", "0", "0", ""}};
  EXPECT_EQ(RecordsOf(InProgramFolder("VYSLEDKY.DBF")), expected);
}

// Slips: a tick without "+" asks and, cancelled, stores nothing; cancel and delete after
// "+" lead back to "+"; a click into a copied identity keeps it; "Konec" mid-subject asks;
// the subjects browser buried under the main window comes back to the front.
TEST_F(Workflow, SlipsCostNoStoredSubject) {
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  OpenSubjectsTable(Example(QStringLiteral("SK_00123.dbf")));
  StartSubject();
  PostAndReadEvaluation();
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  const dbf::filetest::TBytes stored = dbf::filetest::ReadFileBytes(InProgramFolder("VYSLEDKY.DBF"));
  dialogs.confirm_answers = {false, true, false};
  QTest::keyClicks(Form1->DBEdit1, QStringLiteral("Omyl"));
  for (TNavigateBtn button : {TNavigateBtn::nbPost, TNavigateBtn::nbCancel, TNavigateBtn::nbInsert,
                              TNavigateBtn::nbDelete, TNavigateBtn::nbInsert}) {
    ClickNavigator(button);
  }
  Click(Form1->Button4);
  Form1->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  QTest::mouseClick(Form1->DBEdit1, Qt::LeftButton);
  EXPECT_EQ(Form1->DBEdit1->text(), QStringLiteral("Svobodová"));
  Trigger(Form1->DBFproband1);
  Form1->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
  Trigger(Form1->DBFproband1);
  EXPECT_TRUE(QTest::qWaitForWindowActive(Form4));
  EXPECT_EQ(Form4->windowHandle()->transientParent(), Form1->windowHandle());
  Trigger(Form1->konec1);
  EXPECT_TRUE(Form1->isVisible() && DataModule3->Dbf1.state() == dbf::TDataSetState::StateInsert);
  EXPECT_EQ(dbf::filetest::ReadFileBytes(InProgramFolder("VYSLEDKY.DBF")), stored);
  EXPECT_EQ(Boxes().size(), 3u) << "overwrite?, Delete record?, end?";
  EXPECT_EQ(Boxes().front().text, QStringLiteral("Uložený záznam bude přepsán. Pokračovat?"));
}

}  // namespace
}  // namespace app::testing
