// Shared helpers of the table-file-layer tests: a private folder per test, raw table
// bytes built field by field for both header layouts, notice capture, the results
// table's schema, and a file seam whose writes fail or fall short on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DbfErrors.h"
#include "DbfFileIO.h"
#include "DbfOpenOptions.h"
#include "TempFolder.h"
#include "UDbfFieldDef.h"

namespace dbf::filetest {

using TBytes = std::vector<uint8_t>;

// A private folder per test, under the build tree.
using TScratchFolder = testsupport::TTempFolder;

TBytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const TBytes& bytes);
TBytes BytesOf(const std::string& text);
// The record count in the header prefix of a table file's bytes.
uint32_t HeaderRecordCount(const TBytes& bytes);

// One field descriptor as it stands in a file.
struct TRawField {
  std::string name;
  char letter;
  uint8_t length;
  uint8_t decimals = 0;
  int32_t autoinc = 0;       // long layout only
  uint8_t foxpro_flags = 0;  // FoxPro layout only
};

// A table file laid out byte by byte: the layout follows the version byte; the figures
// of the prefix are computed unless given.
struct TRawTable {
  uint8_t version = 0x03;
  std::vector<TRawField> fields = {};
  std::vector<std::string> records = {};  // whole records, deletion flag first
  std::optional<uint32_t> record_count = {};
  std::optional<uint16_t> header_length = {};
  std::optional<uint16_t> record_length = {};
  bool end_marker = true;
  // FoxPro's short layout whatever the version byte: descriptors with their flags, and
  // after the terminator the backlink of the Visual FoxPro bytes (0x30 to 0x32).
  bool foxpro_layout = false;

  TBytes Bytes() const;
};

// Collects the header notices while it lives.
class TNoticeCapture {
 public:
  TNoticeCapture();
  ~TNoticeCapture();
  TNoticeCapture(const TNoticeCapture&) = delete;
  TNoticeCapture& operator=(const TNoticeCapture&) = delete;

  const std::vector<std::string>& Notices() const { return notices_; }

 private:
  std::vector<std::string> notices_;
  TDbfNoticeHandler previous_;
};

// PRIJMENI C15, JMENO C15, RC1 C6, RC2 C4, POC_SPR N5, POC_CHYB N5, SUMA_AGR N3,
// SUMA_SM N3, POM_A_S C5, POM_S_S C5, ODPOVEDI C254, declared as the program declares
// them (name, field type, letter, size, decimals).
void AddResultsSchema(TDbfFieldDefs& defs);

// Adds a column as a descriptor read from a file sets it: name, length, decimals, letter.
void AddColumn(TDbfFieldDefs& defs, const std::string& name, char letter, int32_t size, int32_t decimals = 0);

// What the faulty seam does to the files it opens; counts are over all its writes.
struct TFaults {
  int failing_write = 0;   // the n-th write (counting from 1) fails with ENOSPC; 0 never
  int short_write = 0;     // the n-th write moves only half its bytes; 0 never
  int64_t extra_size = 0;  // added to the size the file reports
  int writes = 0;          // writes seen so far
  int reads = 0;           // reads seen so far
  int failing_read = 0;    // the n-th read (counting from 1) fails with EIO; 0 never
  int64_t last_write_offset = -1;
  bool refuse_locks = false;   // the file system refuses record locks
  int locks = 0;               // append locks granted so far
  int failing_sync = 0;        // the n-th sync (counting from 1) fails with EIO; 0 never
  int syncs = 0;               // syncs seen so far
  bool failing_close = false;  // closing a file reports EIO
};

// A seam over the real files that applies `faults` while it lives; files it opened and
// that outlive it go on as plain files. ProcessWide installs it for every open (a program
// layer that opens its own tables); PassedIn leaves the process as it is, and the tables
// given Seam() alone see the faults.
class TFaultyFiles {
 public:
  enum TReach { ProcessWide, PassedIn };
  explicit TFaultyFiles(TFaults& faults, TReach reach = ProcessWide);
  ~TFaultyFiles();
  TFaultyFiles(const TFaultyFiles&) = delete;
  TFaultyFiles& operator=(const TFaultyFiles&) = delete;

  TFileSeam Seam() const { return {.open_file = factory_}; }

 private:
  std::shared_ptr<TFaults*> faults_;
  TFileIOFactory factory_;
  TReach reach_;
  TFileIOFactory previous_;
};

}  // namespace dbf::filetest
