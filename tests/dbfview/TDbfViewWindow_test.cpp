// The table viewer's window: the file argument is taken against the current folder, a
// missing file is refused instead of being created, read-only hides the editing buttons,
// a header warning reaches a message box, and "File" / "Export…" writes the chosen file.
#include "TDbfViewWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTableView>
#include <filesystem>

#include "DatasetTestSupport.h"
#include "ScriptedDialogs.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"

namespace {

using dbf::TButtonSet;
using dbf::TNavButtonFlag;
using dbf::testing::TScratchFolder;

// Runs in `folder` as the current folder and returns to the former one afterwards.
class TCurrentFolder {
 public:
  explicit TCurrentFolder(const std::string& folder) : former_(QDir::currentPath()) {
    EXPECT_TRUE(QDir::setCurrent(QString::fromStdString(folder)));
  }
  ~TCurrentFolder() { QDir::setCurrent(former_); }

 private:
  QString former_;
};

class TDbfViewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { dbf::testing::NamesTable(folder_, {"Šťastný", "Žofie", "Čermák"}); }

  TScratchFolder folder_;
  dbf::testing::TScriptedDialogs dialogs_;
  TDbfViewWindow window_;
};

TEST_F(TDbfViewWindowTest, OpensANameRelativeToTheCurrentFolderAndRefusesAMissingFile) {
  const TCurrentFolder current(folder_.Folder());
  ASSERT_TRUE(window_.openTable(QStringLiteral("NAMES.DBF"), false));
  window_.show();
  EXPECT_EQ(window_.Grid().View()->model()->rowCount(), 3);
  EXPECT_EQ(window_.Grid().View()->model()->index(0, 0).data().toString().toStdString(), "Šťastný");
  EXPECT_EQ(window_.windowTitle().toStdString(), folder_ / "NAMES.DBF");

  EXPECT_FALSE(window_.openTable(QStringLiteral("MISSING.DBF"), false));
  ASSERT_EQ(dialogs_.Errors().size(), 1u);
  EXPECT_EQ(dialogs_.Errors()[0].toStdString(), "Open: Table file not found : " + folder_ / "MISSING.DBF" + ".");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "MISSING.DBF")) << "no empty table made";
  EXPECT_FALSE(window_.Table().Active());
}

TEST_F(TDbfViewWindowTest, ReadOnlyShowsOnlyTheMovesAndEditsNothing) {
  ASSERT_TRUE(window_.openTable(QString::fromStdString(folder_ / "NAMES.DBF"), true));
  EXPECT_EQ(window_.Navigator().VisibleButtons(), (TButtonSet{TNavButtonFlag::nbFirst, TNavButtonFlag::nbPrior,
                                                              TNavButtonFlag::nbNext, TNavButtonFlag::nbLast}));
  EXPECT_TRUE(window_.Table().ReadOnly());
  EXPECT_EQ(window_.Grid().Options() & dbf::dgEditing, 0u);

  ASSERT_TRUE(window_.openTable(QString::fromStdString(folder_ / "NAMES.DBF"), false));
  EXPECT_EQ(window_.Navigator().VisibleButtons(), dbf::kAllNavButtons);
  EXPECT_FALSE(window_.Table().ReadOnly());
  EXPECT_NE(window_.Grid().Options() & dbf::dgEditing, 0u);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(TDbfViewWindowTest, HeaderWarningsAppearInAMessageBox) {
  // The header claims a record more than the file holds.
  const std::string path = folder_ / "NAMES.DBF";
  dbf::filetest::TBytes bytes = dbf::filetest::ReadFileBytes(path);
  bytes[4] = static_cast<uint8_t>(bytes[4] + 1);
  dbf::filetest::WriteFileBytes(path, bytes);

  ASSERT_TRUE(window_.openTable(QString::fromStdString(path), true));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "message");
  EXPECT_TRUE(dialogs_.shown[0].text.startsWith("Invalid Record Count")) << dialogs_.shown[0].text.toStdString();
}

// A table whose header's record length disagrees with its fields: after its header
// warning, one message box says why it cannot be written, and it shows as read-only.
TEST_F(TDbfViewWindowTest, ATableThatCannotBeWrittenOpensReadOnlyAndSaysWhyOnce) {
  const std::string path = folder_ / "FOREIGN.DBF";
  dbf::filetest::WriteFileBytes(
      path, dbf::filetest::TRawTable{.fields = {{"NAME", 'C', 10}}, .records = {" Ann       x"}, .record_length = 12}
                .Bytes());
  ASSERT_TRUE(window_.openTable(QString::fromStdString(path), false));
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_TRUE(dialogs_.shown[0].text.startsWith("Invalid Record Size"));
  EXPECT_EQ(dialogs_.shown[1].kind, "message");
  EXPECT_EQ(dialogs_.shown[1].text.toStdString(),
            "Cannot write file " + path +
                ": its header gives records of 12 bytes, but its fields as read fill 11 (writing would shift the "
                "fields for every other reader)");
  EXPECT_EQ(window_.windowTitle().toStdString(), path + " [read-only]");
  EXPECT_EQ(window_.Navigator().VisibleButtons(), (TButtonSet{TNavButtonFlag::nbFirst, TNavButtonFlag::nbPrior,
                                                              TNavButtonFlag::nbNext, TNavButtonFlag::nbLast}));
  EXPECT_EQ(window_.Grid().Options() & dbf::dgEditing, 0u);
}

TEST_F(TDbfViewWindowTest, FileExportWritesTheFormatOfTheChosenNameAndNothingWhenCancelled) {
  ASSERT_TRUE(window_.openTable(QString::fromStdString(folder_ / "NAMES.DBF"), false));
  EXPECT_EQ(qobject_cast<QMenu*>(window_.ExportAction().parent())->title(), "File");
  EXPECT_EQ(window_.ExportAction().text(), "Export…");
  const auto chosen = [&](const char* name) { return std::optional<QString>(QString::fromStdString(folder_ / name)); };
  dialogs_.file_answers = {std::nullopt, chosen("names.csv"), chosen("names.xlsx"), chosen("names.txt")};
  for (int i = 0; i < 4; ++i) window_.ExportAction().trigger();

  ASSERT_EQ(dialogs_.save_requests.size(), 4u);
  EXPECT_EQ(dialogs_.save_requests[0].title, "Export");
  EXPECT_EQ(dialogs_.save_requests[0].file_name.toStdString(), folder_ / "NAMES.xlsx");
  EXPECT_EQ(dialogs_.save_requests[0].filters,
            QStringList({"Excel workbook (*.xlsx)", "SPSS data file (*.sav)", "CSV (*.csv)", "JSON (*.json)"}));
  const dbf::filetest::TBytes csv = dbf::filetest::ReadFileBytes(folder_ / "names.csv");
  EXPECT_EQ(std::string(csv.begin(), csv.end()), "NAME,NUM\r\nŠťastný,1\r\nŽofie,2\r\nČermák,3\r\n");
  const dbf::filetest::TBytes workbook = dbf::filetest::ReadFileBytes(folder_ / "names.xlsx");
  EXPECT_EQ(std::string(workbook.begin(), workbook.begin() + 2), "PK") << "a zip archive";
  ASSERT_EQ(dialogs_.Errors().size(), 1u);
  EXPECT_TRUE(dialogs_.Errors()[0].startsWith("Unknown export format: ")) << dialogs_.Errors()[0].toStdString();
  EXPECT_FALSE(std::filesystem::exists(folder_ / "names.txt"));
}

}  // namespace
