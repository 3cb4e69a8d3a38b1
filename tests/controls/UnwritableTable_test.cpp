// The bound controls over a table that cannot be written (its header's record length
// disagrees with its fields): the dataset knows it at open, so the edit box, the grid
// and the navigator bar ask for no edit and no insert, and typing raises nothing.
#include <gtest/gtest.h>

#include <QKeyEvent>
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

using B = TNavigateBtn;

TEST(UnwritableTableTest, BoundControlsAskForNoEditAndTypingRaisesNothing) {
  testing::TScratchFolder folder;
  testing::TScriptedDialogs dialogs;
  const filetest::TNoticeCapture notices;  // "Invalid Record Size"
  filetest::WriteFileBytes(
      folder / "FOREIGN.DBF",
      filetest::TRawTable{.fields = {{"NAME", 'C', 10}}, .records = {" Ann       x"}, .record_length = 12}.Bytes());
  std::unique_ptr<TDbf> table = testing::DataSetOn(folder, "FOREIGN.DBF");
  TDataSource source;
  source.SetDataSet(table.get());
  QWidget window;
  auto* box = new TDBEdit(&window);
  box->SetDataSource(&source);
  box->SetDataField("NAME");
  auto* grid = new TDBGrid(&window);
  grid->SetDataSource(&source);
  grid->move(0, 40);
  auto* bar = new TDBNavigator(&window);
  bar->SetDataSource(&source);
  bar->move(0, 200);
  table->open();
  window.show();

  box->setFocus();
  for (const char c : std::string("Novotny")) QTest::keyClick(box, c);
  grid->View()->setFocus();
  for (const char c : std::string("Jan")) QTest::keyClick(grid->View(), c);
  EXPECT_EQ(dialogs.Errors().size(), 0u) << "no refusal per key";
  EXPECT_EQ(table->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(box->text(), QStringLiteral("Ann"));
  for (const B button : {B::nbInsert, B::nbEdit, B::nbDelete, B::nbPost}) {
    EXPECT_FALSE(bar->Button(button)->isEnabled()) << bar->Button(button)->objectName().toStdString();
  }
}

}  // namespace
}  // namespace dbf
