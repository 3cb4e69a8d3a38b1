// The base folder, folder settings resolved against it, and names matched without
// letter case when the exact one is missing.
#include "DbfPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "FileLayerTestSupport.h"

namespace dbf {
namespace {

namespace fs = std::filesystem;
using filetest::TScratchFolder;

TEST(DbfPaths, BaseFolderIsTheExecutablesFolder) {
  const std::string expected = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
  EXPECT_EQ(DbfBaseFolder(), expected);
  EXPECT_EQ(&DbfBaseFolder(), &DbfBaseFolder());
}

TEST(DbfPaths, FolderSettingsResolveAgainstTheBaseFolder) {
  const std::string& base = DbfBaseFolder();
  const std::string parent = fs::path(base).parent_path().parent_path().string() + "/";
  EXPECT_EQ(ResolveFilePath(""), base);
  EXPECT_EQ(ResolveFilePath("DATA"), base + "DATA/");
  EXPECT_EQ(ResolveFilePath("DATA/"), base + "DATA/");
  EXPECT_EQ(ResolveFilePath("./Data/../Vysledky"), base + "Vysledky/");
  EXPECT_EQ(ResolveFilePath(".."), parent);
  EXPECT_EQ(ResolveFilePath("/srv/tables/./old/../new"), "/srv/tables/new/");
  EXPECT_EQ(ResolveFilePath("/"), "/");
  EXPECT_EQ(ResolveFilePath("/../x"), "/x/");
}

TEST(DbfPaths, FoldersInsideTheBaseFolderAreWrittenRelativeToIt) {
  const std::string& base = DbfBaseFolder();
  EXPECT_EQ(RelativeToBaseFolder(base + "DATA/"), "DATA/");
  EXPECT_EQ(RelativeToBaseFolder(base + "DATA/2026"), "DATA/2026");
  EXPECT_EQ(RelativeToBaseFolder(base), "");
  EXPECT_EQ(RelativeToBaseFolder(base.substr(0, base.size() - 1)), "");
  EXPECT_EQ(RelativeToBaseFolder("/elsewhere/data/"), "/elsewhere/data/");
  EXPECT_EQ(ResolveFilePath(RelativeToBaseFolder(base + "DATA/")), base + "DATA/");
}

TEST(DbfPaths, MissingNameFindsTheFileThatDiffersOnlyInLetterCase) {
  const TScratchFolder folder;
  filetest::WriteFileBytes(folder / "Výsledky.DBF", {});
  filetest::WriteFileBytes(folder / "other.dbf", {});
  fs::create_directory(folder / "TABULKY.DBF");

  EXPECT_EQ(MatchExistingCase(folder / "VÝSLEDKY.dbf"), folder / "Výsledky.DBF");
  EXPECT_EQ(MatchExistingCase(folder / "Výsledky.DBF"), folder / "Výsledky.DBF");
  EXPECT_EQ(MatchExistingCase(folder / "OTHER.DBF"), folder / "other.dbf");
  EXPECT_EQ(MatchExistingCase(folder / "missing.dbf"), folder / "missing.dbf");
  EXPECT_EQ(MatchExistingCase(folder / "tabulky.dbf"), folder / "tabulky.dbf");  // folders are no tables
  EXPECT_EQ(MatchExistingCase(folder / "no_such_folder/x.dbf"), folder / "no_such_folder/x.dbf");
}

}  // namespace
}  // namespace dbf
