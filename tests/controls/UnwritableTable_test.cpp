// The bound controls over a table that cannot be written (its header's record length
// disagrees with its fields): the dataset knows it at open, so the edit box, the grid and
// the navigator bar ask for no edit and no insert, and typing raises nothing.
#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "DatasetTestSupport.h"
#include "ScriptedDialogs.h"
#include "TDBEdit.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"

namespace dbf {
namespace {

TEST(UnwritableTableTest, BoundControlsAskForNoEditAndTypingRaisesNothing) {
  testing::TScratchFolder folder;
  testing::TScriptedDialogs dialogs;
  const filetest::TNoticeCapture notices;
  filetest::WriteFileBytes(
      folder / "FOREIGN.DBF",
      filetest::TRawTable{.fields = {{"NAME", 'C', 10}}, .records = {" Ann       x"}, .record_length = 12}.Bytes());
  std::unique_ptr<TDbf> table = testing::DataSetOn(folder, "FOREIGN.DBF");
  TDataSource source;
  source.SetDataSet(table.get());
  TDBEdit box;
  box.SetDataSource(&source);
  box.SetDataField("NAME");
  TDBGrid grid;
  grid.SetDataSource(&source);
  TDBNavigator bar;
  bar.SetDataSource(&source);
  table->open();

  for (const char c : std::string("Novotny")) QTest::keyClick(&box, c);
  for (const char c : std::string("Jan")) QTest::keyClick(grid.View(), c);
  EXPECT_EQ(dialogs.Errors().size(), 0u) << "no refusal per key";
  EXPECT_EQ(table->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(box.text(), QStringLiteral("Ann"));
  for (const TNavigateBtn button : {TNavigateBtn::nbInsert, TNavigateBtn::nbEdit, TNavigateBtn::nbDelete}) {
    EXPECT_FALSE(bar.Button(button)->isEnabled());
  }
}

}  // namespace
}  // namespace dbf
