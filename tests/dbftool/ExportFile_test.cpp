// The file an export writes: a hidden temporary file beside OUT with the permissions a new
// file gets, gone unless committed, and without `replace` never put in the place of a
// file that appeared at OUT while the export ran.
#include "ExportFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "DbfErrors.h"
#include "FileLayerTestSupport.h"

namespace dbftool {
namespace {

namespace fs = std::filesystem;
using dbf::filetest::ReadFileBytes;
using dbf::filetest::TBytes;
using dbf::filetest::TScratchFolder;
using dbf::filetest::WriteFileBytes;

void WriteText(const TExportFile& file, const std::string& text) {
  ASSERT_EQ(::write(file.Descriptor(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

size_t EntriesIn(const TScratchFolder& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder.Folder()), fs::directory_iterator()));
}

TEST(ExportFile, OutAppearsOnlyWhenCommittedAndNeverOverAFileThatAppearedMeanwhile) {
  const TScratchFolder folder;
  const std::string out = folder / "v.csv";
  const mode_t previous_mask = umask(027);
  {
    const TExportFile file(out, false);
    EXPECT_EQ(EntriesIn(folder), 1u);
  }
  EXPECT_EQ(EntriesIn(folder), 0u) << "an export that is not committed leaves nothing";

  {
    TExportFile file(out, false);
    WriteText(file, "new");
    WriteFileBytes(out, {'x'});  // another program's file
    try {
      file.Commit();
      ADD_FAILURE() << "the export took the place of a file that appeared";
    } catch (const dbf::EDbfFileError& error) {
      EXPECT_EQ(error.what(), "Cannot create file " + out + ": file exists (--force replaces it)");
    }
  }
  EXPECT_EQ(ReadFileBytes(out), TBytes{'x'});
  EXPECT_EQ(EntriesIn(folder), 1u);

  {
    TExportFile file(out, true);
    WriteText(file, "new");
    file.Commit();
  }
  EXPECT_EQ(ReadFileBytes(out), (TBytes{'n', 'e', 'w'}));
  EXPECT_EQ(fs::status(out).permissions(), fs::perms(0640));
  EXPECT_EQ(EntriesIn(folder), 1u);
  umask(previous_mask);
}

}  // namespace
}  // namespace dbftool
