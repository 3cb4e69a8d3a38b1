// Making the benchmark tables and the raw file access of the baselines.
#include "BenchTables.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "DbfErrors.h"
#include "DbfFields.h"
#include "DbfFileLayout.h"
#include "ResultsTable.h"
#include "UDbfFile.h"

namespace bench {

namespace {

constexpr int kSampleCount = 64;
// Records per raw write while a table is filled: large writes make a million-record
// table in well under a second, with a buffer of about a megabyte.
constexpr int32_t kRecordsPerFillWrite = 4096;

[[noreturn]] void SystemError(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// "|9|21|0...": `items` answers as the answer list writes them.
std::string AnswerString(int variant, int items) {
  std::string text;
  for (int k = 0; k < items; ++k) {
    text += '|';
    text += std::to_string((variant * 7 + k * 13) % 31);
  }
  return text;
}

TRecordTexts SampleRecord(int i) {
  static const char* const kSurnames[] = {"Novák",  "Dvořáková", "Černý", "Procházka", "Kučera",  "Veselý",
                                          "Horák",  "Němcová",   "Marek", "Pokorná",   "Růžička", "Šťastný",
                                          "Žáková", "Beneš",     "Fiala", "Sedláček"};
  static const char* const kFirstNames[] = {"Jan", "Petra", "Jiří", "Eva", "Tomáš", "Lucie", "Pavel", "Žofie"};
  const int correct = 10 + i % 21;
  return {kSurnames[i % 16],
          kFirstNames[i % 8],
          std::to_string(450101 + i * 1013 % 500000),
          std::to_string(1000 + i * 37 % 9000),
          std::to_string(correct),
          std::to_string(30 - correct),
          std::to_string(i * 3 % 60),
          std::to_string(i * 5 % 60),
          std::to_string(i % 3) + "." + std::to_string(10 + i % 90),
          std::to_string(i % 2) + "." + std::to_string(10 + i * 7 % 90),
          AnswerString(i, 10 + i % 21)};
}

void AppendSampleRecords(const std::string& path) {
  std::unique_ptr<dbf::TDbf> table = TableOn(path);
  tarni::declare_results_field_defs(table->FieldDefs());
  table->createTable();
  table->open();
  for (const TRecordTexts& texts : SampleRecords()) {
    table->startAppend();
    WriteRecordTexts(*table, texts);
    table->post();
  }
  table->close();
}

// Copies the sample records over and over from the end of the header on, replacing them
// and the end marker, until the file holds `count` records.
TTableLayout FillWithCopies(const std::string& path, int32_t count) {
  const TTableLayout layout = ReadTableLayout(path);
  const std::vector<uint8_t> samples = ReadRawRecords(path, layout.record_count);
  const auto record_length = static_cast<size_t>(layout.record_length);
  std::vector<uint8_t> chunk(record_length * kRecordsPerFillWrite);
  for (size_t i = 0; i < kRecordsPerFillWrite; ++i) {
    const size_t sample = i % static_cast<size_t>(layout.record_count);
    std::memcpy(chunk.data() + i * record_length, samples.data() + sample * record_length, record_length);
  }
  if (::truncate(path.c_str(), layout.header_length) != 0) SystemError("truncate " + path);
  const TRawFile file(path, O_WRONLY);
  for (int32_t written = 0; written < count; written += kRecordsPerFillWrite) {
    const int32_t records = std::min(kRecordsPerFillWrite, count - written);
    file.WriteAt(layout.RecordPosition(written + 1), chunk.data(), record_length * static_cast<size_t>(records));
  }
  return layout;
}

// The copies went past the library, so the header's record count and the end marker are
// written here too (a close of a table only read leaves its header as it is).
void StoreRecordCountAndEndMarker(const std::string& path, const TTableLayout& layout, int32_t count) {
  uint8_t stored_count[4];
  dbf::StoreLittleEndian(stored_count, sizeof stored_count, 0, sizeof stored_count, static_cast<uint32_t>(count));
  const TRawFile file(path, O_WRONLY);
  file.WriteAt(dbf::kRecordCountAt, stored_count, sizeof stored_count);
  file.WriteAt(layout.RecordPosition(count + 1), &dbf::kEndMarker, 1);
}

}  // namespace

TRawFile::TRawFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC)) {
  if (fd_ < 0) SystemError("open " + path);
}

TRawFile::~TRawFile() { ::close(fd_); }

void TRawFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
  if (::pread(fd_, buffer, count, offset) != static_cast<ssize_t>(count)) SystemError("pread");
}

void TRawFile::WriteAt(int64_t offset, const void* buffer, size_t count) const {
  if (::pwrite(fd_, buffer, count, offset) != static_cast<ssize_t>(count)) SystemError("pwrite");
}

void TRawFile::Sync() const {
  if (::fsync(fd_) != 0) SystemError("fsync");
}

const std::vector<TRecordTexts>& SampleRecords() {
  static const std::vector<TRecordTexts> samples = [] {
    std::vector<TRecordTexts> records;
    for (int i = 0; i < kSampleCount; ++i) records.push_back(SampleRecord(i));
    return records;
  }();
  return samples;
}

void WriteRecordTexts(dbf::TDbf& table, const TRecordTexts& texts) {
  for (size_t i = 0; i < texts.size(); ++i) table.fieldAt(static_cast<int>(i)).writeString(texts[i]);
}

void MakeResultsTable(const std::string& path, int32_t count) {
  AppendSampleRecords(path);
  const TTableLayout layout = FillWithCopies(path, count);
  StoreRecordCountAndEndMarker(path, layout, count);
  TRawFile(path, O_RDONLY).Sync();
}

std::unique_ptr<dbf::TDbf> TableOn(const std::string& path) {
  const std::filesystem::path file(path);
  auto table = std::make_unique<dbf::TDbf>();
  table->SetFilePath(file.parent_path().string() + "/");
  table->SetTableName(file.filename().string());
  return table;
}

// The library's own table file reads the header, so the benchmark needs no knowledge of
// its format. It is never shared: no dataset has the table open meanwhile.
TTableLayout ReadTableLayout(const std::string& path) {
  const dbf::TDbfFile file(path, {.read_only = true});
  return {file.HeaderSize(), file.RecordSize(), file.RecordCount()};
}

std::vector<uint8_t> ReadRawRecords(const std::string& path, int32_t count) {
  const TTableLayout layout = ReadTableLayout(path);
  std::vector<uint8_t> records(static_cast<size_t>(layout.record_length * count));
  TRawFile(path, O_RDONLY).ReadAt(layout.header_length, records.data(), records.size());
  return records;
}

TTableSnapshot::TTableSnapshot(const std::string& path)
    : path_(path),
      length_(static_cast<int64_t>(std::filesystem::file_size(path))),
      header_(static_cast<size_t>(ReadTableLayout(path).header_length)) {
  TRawFile(path, O_RDONLY).ReadAt(0, header_.data(), header_.size());
}

void TTableSnapshot::Restore() const {
  if (::truncate(path_.c_str(), length_) != 0) SystemError("truncate " + path_);
  const TRawFile file(path_, O_WRONLY);
  file.WriteAt(0, header_.data(), header_.size());
  file.Sync();
}

int64_t ScanAllFields(dbf::TDbf& table, size_t& sink) {
  const int field_count = table.fieldCount();
  int64_t records = 0;
  for (table.moveFirst(); !table.atEof(); table.moveNext()) {
    for (int i = 0; i < field_count; ++i) sink += table.fieldAt(i).readString().size();
    ++records;
  }
  return records;
}

int64_t ScanAllFieldsInto(dbf::TDbf& table, std::vector<std::string>& texts) {
  texts.resize(static_cast<size_t>(table.fieldCount()));
  int64_t records = 0;
  for (table.moveFirst(); !table.atEof(); table.moveNext()) {
    for (size_t i = 0; i < texts.size(); ++i) table.fieldAt(static_cast<int>(i)).readStringInto(texts[i]);
    ++records;
  }
  return records;
}

}  // namespace bench
