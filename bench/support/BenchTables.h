// The tables the benchmarks run against: results-schema tables of any size, made quickly
// (header and sample records written by the library, the bulk copied with large raw
// writes), plus the raw file access the baselines use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dbf.h"

namespace bench {

// An open file descriptor; every transfer must move all its bytes or it throws.
class TRawFile {
 public:
  TRawFile(const std::string& path, int flags);
  ~TRawFile();
  TRawFile(const TRawFile&) = delete;
  TRawFile& operator=(const TRawFile&) = delete;

  void ReadAt(int64_t offset, void* buffer, size_t count) const;
  void WriteAt(int64_t offset, const void* buffer, size_t count) const;
  // Waits until the file's data is on disk.
  void Sync() const;

 private:
  int fd_;
};

// One results record as the texts written into its fields, in column order.
using TRecordTexts = std::vector<std::string>;

// A few dozen varied records: Czech names, birth numbers, results, answer strings.
const std::vector<TRecordTexts>& SampleRecords();

// Writes `texts` into the fields of the current record with writeString.
// REQUIRES: `table` is in StateInsert or StateEdit, with the results columns.
void WriteRecordTexts(dbf::TDbf& table, const TRecordTexts& texts);

// Creates `path` as a results table holding `count` records (SampleRecords over and over),
// written out to disk so that its write-back does not run during the measurements.
void MakeResultsTable(const std::string& path, int32_t count);

// A dataset on `path` with default fields, not yet opened.
std::unique_ptr<dbf::TDbf> TableOn(const std::string& path);

// The figures of a table file that the raw baselines need; the count is the one the file
// size gives.
struct TTableLayout {
  int64_t header_length;
  int64_t record_length;
  int32_t record_count;

  int64_t RecordPosition(int32_t record_number) const {
    return header_length + int64_t{record_number - 1} * record_length;
  }
};
TTableLayout ReadTableLayout(const std::string& path);

// The first `count` records of the table at `path`, as raw bytes one after the other.
std::vector<uint8_t> ReadRawRecords(const std::string& path, int32_t count);

// Remembers a table file's length and header, so that appends can be undone between
// benchmark iterations. Restore also writes the file out, so that the next measurement
// does not compete with the write-back of the appends undone.
class TTableSnapshot {
 public:
  explicit TTableSnapshot(const std::string& path);
  void Restore() const;

 private:
  std::string path_;
  int64_t length_;
  std::vector<uint8_t> header_;
};

// Reads every field of every visible record as text, from moveFirst to EOF. Returns the
// number of records read; `sink` takes the text lengths so nothing is optimised away.
int64_t ScanAllFields(dbf::TDbf& table, size_t& sink);
// The same, each field read into its string of `texts`, which lives across records.
int64_t ScanAllFieldsInto(dbf::TDbf& table, std::vector<std::string>& texts);

}  // namespace bench
