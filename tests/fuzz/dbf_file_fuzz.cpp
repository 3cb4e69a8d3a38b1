// Fuzz target for the table file layer: arbitrary bytes are opened as a table read-only,
// and every record and field is read as every requested type and written back into a
// copy of the record buffer. A damaged table may raise EDatabaseError, nothing else. The
// table lives in memory behind the file seam, so an input costs no disk work.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "DbfErrors.h"
#include "MemoryFiles.h"
#include "UDbfFile.h"

namespace {

using dbf::TFieldType;

constexpr TFieldType kRequestedTypes[] = {
    TFieldType::ftUnknown, TFieldType::ftString, TFieldType::ftSmallint, TFieldType::ftInteger, TFieldType::ftLargeint,
    TFieldType::ftBoolean, TFieldType::ftFloat,  TFieldType::ftCurrency, TFieldType::ftDate,    TFieldType::ftDateTime,
    TFieldType::ftAutoInc, TFieldType::ftMemo,   TFieldType::ftWord,     TFieldType::ftTime,    TFieldType::ftBytes};

// Keeps one input's work bounded; the layer itself has no such limits.
constexpr int kMostRecords = 4;
constexpr int kMostFields = 24;

// Room for any value a field hands out: a text or eight bytes.
struct TValue {
  std::string text;
  alignas(8) unsigned char bytes[8] = {};
  void* For(TFieldType type) { return type == TFieldType::ftString ? static_cast<void*>(&text) : bytes; }
};

// Read-only: the table never grows.
constexpr int64_t kLargestFile = int64_t{1} << 20;

dbf::fuzz::TMemoryFiles& Files() {
  static dbf::fuzz::TMemoryFiles files(kLargestFile);
  return files;
}

void WriteValue(const dbf::TDbfFile& table, int field, TFieldType type, uint8_t* record, const void* value) {
  try {
    table.SetFieldValue(field, type, record, value);
  } catch (const dbf::EDatabaseError&) {
  }
}

// Extreme values of every width, written through the field's own encoding; a string
// request gets texts instead, since its value buffer is a std::string.
void WriteExtremes(const dbf::TDbfFile& table, int field, TFieldType type, uint8_t* record) {
  if (type == TFieldType::ftString) {
    for (const std::string& text : {std::string(300, 'x'), std::string("\0abc", 4), std::string(" 1 ")}) {
      WriteValue(table, field, type, record, &text);
    }
    return;
  }
  const int64_t integers[] = {0, -1, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()};
  const double floats[] = {
      -0.0,      1e300, -1e-300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
      123456.789};
  TValue value;
  for (const int64_t integer : integers) {
    std::memcpy(value.bytes, &integer, sizeof integer);
    WriteValue(table, field, type, record, value.bytes);
  }
  for (const double number : floats) {
    std::memcpy(value.bytes, &number, sizeof number);
    WriteValue(table, field, type, record, value.bytes);
  }
}

// The extremes are written for the first record only, as the field's own type and as
// text: they do not depend on the record's bytes, and other types only learn whether
// there is a value.
void ExerciseField(const dbf::TDbfFile& table, int field, const std::vector<uint8_t>& record, bool with_extremes) {
  std::vector<uint8_t> copy = record;
  const TFieldType own_type = table.FieldDefs().Items(field).FieldType();
  for (const TFieldType type : kRequestedTypes) {
    TValue value;
    table.GetFieldValue(field, type, nullptr, record.data());
    if (table.GetFieldValue(field, type, value.For(type), record.data())) {
      WriteValue(table, field, type, copy.data(), value.For(type));
    }
    WriteValue(table, field, type, copy.data(), nullptr);
    if (with_extremes && (type == own_type || type == TFieldType::ftString)) {
      WriteExtremes(table, field, type, copy.data());
    }
  }
}

void ExerciseTable(dbf::TDbfFile& table) {
  dbf::TDbfFieldDefs copies;
  table.CopyFieldDefs(copies);
  const int records = std::min(table.RecordCount(), kMostRecords);
  const int fields = std::min(table.FieldDefs().Count(), kMostFields);
  std::vector<uint8_t> record(static_cast<size_t>(table.RecordSize()));
  for (int n = 1; n <= records; ++n) {
    if (!table.LoadRecord(n, record.data())) continue;
    for (int field = 0; field < fields; ++field) ExerciseField(table, field, record, n == 1);
  }
  table.FillAutoIncValues(record.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = Files().Put("TABLE.DBF", data, size);
  try {
    // The header findings go unheard.
    dbf::TDbfFile table(path, {.read_only = true, .seam = Files().Seam([](const std::string&) {})});
    ExerciseTable(table);
  } catch (const dbf::EDatabaseError&) {
  }
  return 0;
}
