// The base folder, folder settings resolved against it, and names matched without
// letter case when the exact one is missing.
#include "DbfPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FileLayerTestSupport.h"

namespace dbf {
namespace {

namespace fs = std::filesystem;
using filetest::TScratchFolder;

TEST(DbfPaths, TheDataFolderIsInXdgDataHomeOrInTheHomeFoldersLocalShare) {
  struct TCase {
    const char* xdg_data_home;
    const char* home;
    std::string expected;
  };
  const TCase cases[] = {
      {"/srv/data", "/home/eva", "/srv/data/Vyhod_Tarni/"},
      {"/srv/data/", "/home/eva", "/srv/data/Vyhod_Tarni/"},
      {nullptr, "/home/eva", "/home/eva/.local/share/Vyhod_Tarni/"},
      {"", "/home/eva/", "/home/eva/.local/share/Vyhod_Tarni/"},
      {"data", "/home/eva", "/home/eva/.local/share/Vyhod_Tarni/"},  // a relative one is ignored
      {"data", nullptr, ""},
      {nullptr, "", ""},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(std::string(test.xdg_data_home ? test.xdg_data_home : "(unset)") + " " +
                 (test.home ? test.home : "(unset)"));
    EXPECT_EQ(DataFolderFor(test.xdg_data_home, test.home), test.expected);
  }
}

TEST(DbfPaths, TheBaseFolderIsTheDataFolderMadeAtFirstUseForItsOwnerAlone) {
  const TScratchFolder folder;
  const std::string previous_base = DbfBaseFolder();
  const char* previous_data_home = std::getenv("XDG_DATA_HOME");
  const std::string saved_data_home = previous_data_home ? previous_data_home : "";
  const std::string data_home = folder / "data home";
  setenv("XDG_DATA_HOME", data_home.c_str(), 1);

  SetDbfBaseFolderForTesting("");
  const std::string base = DbfBaseFolder();
  const fs::perms permissions = fs::status(base).permissions();
  if (previous_data_home) {
    setenv("XDG_DATA_HOME", saved_data_home.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
  SetDbfBaseFolderForTesting(previous_base);

  EXPECT_EQ(base, data_home + "/Vyhod_Tarni/");
  EXPECT_TRUE(fs::is_directory(base));
  EXPECT_EQ(permissions & fs::perms::all, fs::perms::owner_all);
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
