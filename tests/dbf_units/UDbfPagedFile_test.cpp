// The paged file: opening and creating, the derived record count, the header buffer,
// record transfers that never pretend success, and the registry of open files.
#include "UDbfPagedFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <utility>

#include "FileLayerTestSupport.h"

namespace dbf {
namespace {

using filetest::BytesOf;
using filetest::ReadFileBytes;
using filetest::TBytes;
using filetest::TFaults;
using filetest::TFaultyFiles;
using filetest::TScratchFolder;
using filetest::WriteFileBytes;

constexpr int64_t kTwoGiB = int64_t{1} << 31;

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDbfFileError& error) {
    return error.what();
  }
  return "(no error)";
}

// The message and system error number of the EDbfFileError that `action` throws.
std::pair<std::string, int> FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDbfFileError& error) {
    return {error.what(), error.SystemError()};
  }
  return {"(no error)", -1};
}

// A file of a 10-byte header and records of 4 bytes "r1.." to "rN..".
TBytes HeaderAndRecords(int records) {
  TBytes bytes = BytesOf("HEADER0123");
  for (int n = 1; n <= records; ++n) {
    const TBytes record = BytesOf("r" + std::to_string(n) + "..");
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

TEST(TPagedFile, MissingFileIsRefusedOrCreatedEmpty) {
  const TScratchFolder folder;
  const std::string name = folder / "Missing.DBF";
  EXPECT_EQ(MessageOf([&] { TPagedFile file(name, {.creation = TCreation::OpenExisting}); }),
            "Open: Table file not found : " + name);
  EXPECT_FALSE(std::filesystem::exists(name));
  {
    TPagedFile file(name, {.creation = TCreation::CreateIfMissing});
    EXPECT_TRUE(file.IsNew());
    EXPECT_EQ(file.FileName(), name);
    EXPECT_EQ(file.HeaderSize(), 0);
    EXPECT_EQ(file.RecordSize(), 0);
    EXPECT_EQ(file.RecordCount(), 0);
  }
  EXPECT_TRUE(std::filesystem::exists(name));
  TPagedFile existing(name, {.creation = TCreation::Replace});
  EXPECT_FALSE(existing.IsNew());
}

TEST(TPagedFile, PlatformRefusalsNameTheFileAndTheReason) {
  const TScratchFolder folder;
  std::filesystem::create_directory(folder / "folder.dbf");
  EXPECT_EQ(MessageOf([&] { TPagedFile file(folder / "folder.dbf", {.read_only = true}); }),
            "Cannot open file " + folder / "folder.dbf" + ": is a directory");
  EXPECT_EQ(
      MessageOf([&] { TPagedFile file(folder / "no_such_folder/new.dbf", {.creation = TCreation::CreateIfMissing}); }),
      "Cannot create file " + folder / "no_such_folder/new.dbf" + ": no such folder");
  EXPECT_EQ(TPagedFile::FindOpenFile(folder / "folder.dbf"), nullptr);
}

// Another program may put a file in place after the name was found free: creating then
// fails instead of emptying that file.
TEST(TPagedFile, CreatingNeverEmptiesAFileThatAppearedMeanwhile) {
  const TScratchFolder folder;
  const TFileSeam racing{.open_file = [](const std::string& path, TFileOpenMode mode) {
    WriteFileBytes(path, BytesOf("THEIRS"));
    return OpenPosixFileIO(path, mode);
  }};
  EXPECT_EQ(MessageOf([&] {
              TPagedFile file(folder / "race.dbf", {.creation = TCreation::CreateIfMissing, .seam = racing});
            }),
            "Cannot create file " + folder / "race.dbf" + ": file exists");
  EXPECT_EQ(ReadFileBytes(folder / "race.dbf"), BytesOf("THEIRS"));
}

TEST(TPagedFile, RecordCountIsDerivedFromTheFileSize) {
  const TScratchFolder folder;
  const std::string name = folder / "records.dat";
  TBytes bytes = HeaderAndRecords(4);
  bytes.push_back(0x1A);  // an end marker and half a record are not records
  bytes.push_back('x');
  WriteFileBytes(name, bytes);
  TPagedFile file(name, {.read_only = true});
  file.SetHeaderSize(10);
  EXPECT_EQ(file.RecordCount(), 0);  // no record length yet
  file.SetRecordSize(4);
  EXPECT_EQ(file.RecordCount(), 4);
  file.SetRecordSize(3);
  EXPECT_EQ(file.RecordCount(), 6);
  file.SetHeaderSize(100);  // header longer than the file
  EXPECT_EQ(file.RecordCount(), 0);
  file.SetRecordSize(0);
  EXPECT_EQ(file.RecordCount(), 0);
}

TEST(TPagedFile, HeaderBufferIsReReadOnlyWhenItsSizeChanges) {
  const TScratchFolder folder;
  const std::string name = folder / "short.dat";
  WriteFileBytes(name, BytesOf("ABCDE"));
  TPagedFile file(name, {.read_only = true});
  file.SetHeaderSize(8);
  EXPECT_EQ(TBytes(file.HeaderBuffer(), file.HeaderBuffer() + 8), (TBytes{'A', 'B', 'C', 'D', 'E', 0, 0, 0}));
  file.HeaderBuffer()[0] = 'z';
  file.SetHeaderSize(8);
  EXPECT_EQ(file.HeaderBuffer()[0], 'z');
  file.SetHeaderSize(2);
  EXPECT_EQ(file.HeaderBuffer()[0], 'A');
  file.SetHeaderSize(0);
  EXPECT_EQ(file.HeaderSize(), 0);
}

TEST(TPagedFile, RecordsAreReadAndWrittenWhole) {
  const TScratchFolder folder;
  const std::string name = folder / "records.dat";
  TBytes bytes = HeaderAndRecords(3);
  bytes.resize(bytes.size() - 2);  // record 3 is cut short
  WriteFileBytes(name, bytes);
  TPagedFile file(name, {.creation = TCreation::OpenExisting});
  file.SetHeaderSize(10);
  file.SetRecordSize(4);
  ASSERT_EQ(file.RecordCount(), 2);

  uint8_t record[4] = {};
  EXPECT_TRUE(file.LoadRecord(2, record));
  EXPECT_EQ(TBytes(record, record + 4), BytesOf("r2.."));
  EXPECT_FALSE(file.LoadRecord(3, record));
  EXPECT_FALSE(file.LoadRecord(0, record));

  file.StoreRecord(3, BytesOf("new3").data());  // overwrites the partial record
  EXPECT_EQ(file.RecordCount(), 3);
  file.StoreRecord(1, BytesOf("new1").data());
  EXPECT_EQ(file.RecordCount(), 3);
  file.StoreRecord(5, BytesOf("new5").data());
  EXPECT_EQ(file.RecordCount(), 5);
  EXPECT_EQ(MessageOf([&] { file.StoreRecord(0, record); }), "Cannot write file " + name + ": invalid record number 0");
  const TBytes written = ReadFileBytes(name);
  ASSERT_EQ(written.size(), 10u + 5 * 4);
  EXPECT_EQ(TBytes(written.begin() + 10, written.begin() + 22), BytesOf("new1r2..new3"));

  file.ResizeToRecords(2);
  EXPECT_EQ(ReadFileBytes(name).size(), 18u);
  EXPECT_EQ(file.RecordCount(), 2);
}

TEST(TPagedFile, ReadOnlyFileRefusesWrites) {
  const TScratchFolder folder;
  const std::string name = folder / "records.dat";
  WriteFileBytes(name, HeaderAndRecords(2));
  TPagedFile file(name, {.read_only = true});
  file.SetHeaderSize(10);
  file.SetRecordSize(4);
  EXPECT_EQ(MessageOf([&] { file.StoreRecord(3, BytesOf("new3").data()); }), "Cannot write file " + name);
  EXPECT_EQ(FailureOf([&] { file.StoreHeader(); }), std::make_pair("Cannot write file " + name, EBADF));
  EXPECT_EQ(file.RecordCount(), 2);
  EXPECT_EQ(ReadFileBytes(name), HeaderAndRecords(2));
}

TEST(TPagedFile, FailedOrShortWriteRaisesAndCountsNothing) {
  const TScratchFolder folder;
  const std::string name = folder / "records.dat";
  WriteFileBytes(name, HeaderAndRecords(2));
  for (const bool short_write : {false, true}) {
    SCOPED_TRACE(short_write ? "short write" : "failed write");
    TFaults faults;
    (short_write ? faults.short_write : faults.failing_write) = 2;
    const TFaultyFiles seam(faults, TFaultyFiles::PassedIn);
    TPagedFile file(name, {.creation = TCreation::OpenExisting, .seam = seam.Seam()});
    file.SetHeaderSize(10);
    file.SetRecordSize(4);
    file.StoreRecord(3, BytesOf("r3..").data());
    // A full disk is told apart from other failures; a write that ends short gives no reason.
    EXPECT_EQ(FailureOf([&] { file.StoreRecord(4, BytesOf("r4..").data()); }),
              std::make_pair("Cannot write file " + name, short_write ? 0 : ENOSPC));
    EXPECT_EQ(file.RecordCount(), 3);
    uint8_t record[4];
    for (int n = 1; n <= 3; ++n) {
      ASSERT_TRUE(file.LoadRecord(n, record));
      EXPECT_EQ(TBytes(record, record + 4), BytesOf("r" + std::to_string(n) + ".."));
    }
    file.ResizeToRecords(2);
  }
}

TEST(TPagedFile, AppendPastTwoGibibytesIsRefusedInsteadOfWrappingAround) {
  const TScratchFolder folder;
  const std::string name = folder / "huge.dat";
  WriteFileBytes(name, HeaderAndRecords(0));
  const int32_t record_size = 101;
  // The file claims to hold k records, the last that fit below 2 GiB but one.
  const int32_t k = static_cast<int32_t>((kTwoGiB - 10) / record_size) - 1;
  TFaults faults;
  faults.extra_size = int64_t{k} * record_size;
  const TFaultyFiles seam(faults, TFaultyFiles::PassedIn);
  TPagedFile file(name, {.creation = TCreation::OpenExisting, .seam = seam.Seam()});
  file.SetHeaderSize(10);
  file.SetRecordSize(record_size);
  ASSERT_EQ(file.RecordCount(), k);

  const TBytes record(record_size, ' ');
  file.StoreRecord(k + 1, record.data());
  EXPECT_EQ(faults.last_write_offset, 10 + int64_t{k} * record_size);
  EXPECT_EQ(file.RecordCount(), k + 1);
  faults.last_write_offset = -1;
  EXPECT_EQ(MessageOf([&] { file.StoreRecord(k + 2, record.data()); }),
            "Cannot write file " + name + ": a table cannot grow past 2 GiB");
  EXPECT_EQ(faults.last_write_offset, -1);
  EXPECT_EQ(file.RecordCount(), k + 1);
}

TEST(TPagedFile, RegistryFindsOneObjectPerFileWhileItLives) {
  const TScratchFolder folder;
  const std::string name = folder / "Shared.DBF";
  WriteFileBytes(name, HeaderAndRecords(1));
  std::filesystem::create_symlink(name, folder / "link.dbf");

  auto file = std::make_unique<TPagedFile>(name, TOpenOptions{.creation = TCreation::OpenExisting});
  EXPECT_EQ(TPagedFile::FindOpenFile(name), file.get());
  EXPECT_EQ(TPagedFile::FindOpenFile(folder.Folder() + "/./sub/../Shared.DBF"), file.get());
  EXPECT_EQ(TPagedFile::FindOpenFile(folder / "link.dbf"), file.get());
  EXPECT_EQ(TPagedFile::FindOpenFile(folder / "SHARED.dbf"), file.get());  // the file on disk has this name
  EXPECT_EQ(TPagedFile::FindOpenFile(folder / "Other.DBF"), nullptr);
  file.reset();
  EXPECT_EQ(TPagedFile::FindOpenFile(name), nullptr);
}

TEST(TPagedFile, CreatedFileStaysClosedToOtherObjectsWhileItLives) {
  const TScratchFolder folder;
  const std::string name = folder / "new.dbf";
  {
    TPagedFile created(name, {.creation = TCreation::Replace});
    EXPECT_EQ(MessageOf([&] { TPagedFile second(name, {.read_only = true}); }),
              "Cannot open file " + name + ": in use by another table of this program");
    EXPECT_EQ(TPagedFile::FindOpenFile(name), &created);
  }
  TPagedFile reopened(name, {.creation = TCreation::OpenExisting});
  TPagedFile shared(name, {.read_only = true});
  EXPECT_EQ(MessageOf([&] { TPagedFile recreated(folder / "other.dbf", {.creation = TCreation::Replace}); }),
            "(no error)");
}

}  // namespace
}  // namespace dbf
