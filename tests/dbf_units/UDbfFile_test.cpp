// The table file: the bytes of a created table, header checks and warnings for every
// layout and for damaged files, header rewriting, and sharing one open table.
#include "UDbfFile.h"

#include <gtest/gtest.h>

#include <memory>

#include "DbfValueText.h"
#include "FileLayerTestSupport.h"

namespace dbf {
namespace {

using filetest::HeaderRecordCount;
using filetest::ReadFileBytes;
using filetest::TBytes;
using filetest::TFaults;
using filetest::TFaultyFiles;
using filetest::TNoticeCapture;
using filetest::TRawField;
using filetest::TRawTable;
using filetest::TScratchFolder;
using filetest::WriteFileBytes;

const std::vector<TRawField> kTwoFields = {{"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}};

std::string TwoFieldRecord(const std::string& name, const std::string& amount) {
  return " " + (name + std::string(10, ' ')).substr(0, 10) + (std::string(8, ' ') + amount).substr(amount.size());
}

std::string ErrorOfOpening(const std::string& name) {
  try {
    TDbfFile table(name, {.read_only = true});
  } catch (const EDbfFileError& error) {
    return error.what();
  }
  return "(opened)";
}

std::unique_ptr<TDbfFile> CreateResultsTable(const std::string& name) {
  TDbfFieldDefs schema;
  filetest::AddResultsSchema(schema);
  auto table = std::make_unique<TDbfFile>(name, TOpenOptions{.creation = TCreation::Replace});
  table->FormatTable(schema);
  return table;
}

TEST(TDbfFile, CreatedResultsTableHasTheDocumentedBytes) {
  const TScratchFolder folder;
  const std::string name = folder / "VYSLEDKY.DBF";
  const TCalendarDate today = LocalToday();
  const auto table = CreateResultsTable(name);
  EXPECT_EQ(table->HeaderSize(), 385);
  EXPECT_EQ(table->RecordSize(), 321);
  EXPECT_EQ(table->RecordCount(), 0);
  EXPECT_EQ(table->FormatLevel(), 3);

  const TBytes bytes = ReadFileBytes(name);
  ASSERT_EQ(bytes.size(), 386u);
  const TBytes prefix = {0x03,
                         static_cast<uint8_t>((today.year - 1900) % 256),
                         static_cast<uint8_t>(today.month),
                         static_cast<uint8_t>(today.day),
                         0,
                         0,
                         0,
                         0,
                         0x81,
                         0x01,
                         0x41,
                         0x01};
  EXPECT_EQ(TBytes(bytes.begin(), bytes.begin() + 12), prefix);
  TBytes reserved(20, 0);
  reserved[29 - 12] = 0x64;  // the code-page mark: code page 852
  EXPECT_EQ(TBytes(bytes.begin() + 12, bytes.begin() + 32), reserved);
  TBytes first_descriptor = {'P', 'R', 'I', 'J', 'M', 'E', 'N', 'I', 0, 0, 0, 'C', 0, 0, 0, 0, 15, 0};
  first_descriptor.resize(32, 0);
  EXPECT_EQ(TBytes(bytes.begin() + 32, bytes.begin() + 64), first_descriptor);
  EXPECT_EQ(bytes[32 * 11 + 16], 254);  // ODPOVEDI
  EXPECT_EQ(bytes[384], 0x0D);
  EXPECT_EQ(bytes[385], 0x1A);
  if (today.year == 2026) {
    EXPECT_EQ(bytes[1], 0x7E);
  }
}

TEST(TDbfFile, AppendedRecordsGetCountAndOneEndMarkerWhenTheHeaderIsStored) {
  const TScratchFolder folder;
  const std::string name = folder / "VYSLEDKY.DBF";
  const auto table = CreateResultsTable(name);
  TDbfFieldDefs defs;
  table->CopyFieldDefs(defs);
  ASSERT_EQ(defs.Count(), 11);
  std::vector<uint8_t> record(321, ' ');
  for (int32_t n = 1; n <= 3; ++n) {
    const std::string surname = "Novak" + std::to_string(n);
    table->SetFieldValue(0, TFieldType::ftString, record.data(), &surname);
    table->SetFieldValue(4, TFieldType::ftInteger, record.data(), &n);
    table->StoreRecord(table->RecordCount() + 1, record.data());
  }
  EXPECT_EQ(table->RecordCount(), 3);
  EXPECT_EQ(ReadFileBytes(name).size(), 385u + 3 * 321);  // the first record covered the old marker
  table->StoreHeader();

  const TBytes bytes = ReadFileBytes(name);
  ASSERT_EQ(bytes.size(), 385u + 3 * 321 + 1);
  EXPECT_EQ(HeaderRecordCount(bytes), 3u);
  EXPECT_EQ(bytes.back(), 0x1A);
  EXPECT_EQ(std::count(bytes.begin() + 385, bytes.end(), 0x1A), 1);
  const std::string third(bytes.begin() + 385 + 2 * 321, bytes.begin() + 385 + 3 * 321);
  EXPECT_EQ(third.substr(0, 16), " Novak3         ");
  EXPECT_EQ(third.substr(1 + 15 + 15 + 6 + 4, 5), "    3");
}

TEST(TDbfFile, CreatedTableReadsBackItsOwnDefinitions) {
  const TScratchFolder folder;
  const std::string name = folder / "new.dbf";
  TDbfFieldDefs declared;
  declared.Add("PRIJMENI_A_JMENO", TFieldType::ftString, 20, true);
  declared.Add("suma", TFieldType::ftSmallint, 5, false);
  declared.Add("DATUM", TFieldType::ftDate, 0, false);
  {
    TDbfFile table(name, {.creation = TCreation::Replace});
    table.FormatTable(declared);
    EXPECT_EQ(table.FieldDefs().Count(), 0);  // read back when first needed
  }
  TDbfFile table(name, {.read_only = true});
  TDbfFieldDefs copies;
  table.CopyFieldDefs(copies);
  ASSERT_EQ(copies.Count(), 3);
  EXPECT_EQ(copies.Items(0).Name(), "PRIJMENI_A");
  EXPECT_FALSE(copies.Items(0).Required());
  EXPECT_EQ(copies.Items(1).Name(), "SUMA");
  EXPECT_EQ(copies.Items(1).FieldType(), TFieldType::ftInteger);
  EXPECT_EQ(copies.Items(1).Size(), 5);
  EXPECT_EQ(copies.Items(2).NativeFieldType(), 'D');
  EXPECT_EQ(copies.Items(2).Offset(), 26);
  EXPECT_EQ(table.RecordSize(), 1 + 20 + 5 + 8);
}

TEST(TDbfFile, VersionByteSelectsFormatLevelAndLayout) {
  const std::pair<uint8_t, int> levels[] = {{0x83, 2}, {0x03, 3}, {0x7B, 3}, {0x8B, 3}, {0x8E, 3}, {0x00, 3},
                                            {0xFF, 3}, {0x04, 5}, {0x8C, 5}, {0xF5, 6}, {0x30, 7}};
  const TScratchFolder folder;
  for (const auto& [version, level] : levels) {
    SCOPED_TRACE("version " + std::to_string(version));
    EXPECT_EQ(FormatLevelOfVersion(version), level);
    TRawTable raw{version, {{"a_rather_long_lower_case_name", 'C', 6}, {"id", '+', 4, 0, 41}}, {}};
    raw.records = {" abcdef" + std::string("\x80\0\0\x29", 4)};
    const std::string name = folder / ("level" + std::to_string(version) + ".dbf");
    WriteFileBytes(name, raw.Bytes());
    const TNoticeCapture notices;
    TDbfFile table(name, {.read_only = true});
    EXPECT_TRUE(notices.Notices().empty());
    EXPECT_EQ(table.FormatLevel(), level);
    EXPECT_EQ(table.LongLayout(), level >= 5);
    ASSERT_EQ(table.FieldDefs().Count(), 2);
    EXPECT_EQ(table.FieldDefs().Items(0).Name(), level >= 5 ? "A_RATHER_LONG_LOWER_CASE_NAME" : "A_RATHER_LO");
    EXPECT_EQ(table.FieldDefs().Items(1).AutoIncValue(), level >= 5 ? 41 : 0);
    EXPECT_EQ(table.RecordCount(), 1);
  }
}

TEST(TDbfFile, HeaderCountThatDisagreesWithTheFileIsReportedAndMended) {
  const TScratchFolder folder;
  const std::string name = folder / "count.dbf";
  TRawTable raw{0x03, kTwoFields, std::vector<std::string>(12, TwoFieldRecord("x", "1.00"))};
  raw.record_count = 10;
  WriteFileBytes(name, raw.Bytes());
  const TNoticeCapture notices;
  {
    TDbfFile table(name, {.read_only = true});
    EXPECT_EQ(table.RecordCount(), 12);
  }
  EXPECT_EQ(ReadFileBytes(name), raw.Bytes());
  {
    TDbfFile table(name, {.creation = TCreation::OpenExisting});
    table.StoreHeader();
  }
  ASSERT_EQ(notices.Notices().size(), 2u);
  EXPECT_EQ(notices.Notices()[0], "Invalid Record Count,\rRecordCount in Hdr : 10\rexpected : 12");
  EXPECT_EQ(HeaderRecordCount(ReadFileBytes(name)), 12u);
}

TEST(TDbfFile, StoringTheHeaderChangesOnlyDateCountAndEndMarker) {
  const TScratchFolder folder;
  const std::string name = folder / "stamp.dbf";
  TRawTable raw{0x03, kTwoFields, {TwoFieldRecord("a", "1.00"), TwoFieldRecord("b", "2.00")}};
  raw.end_marker = false;
  TBytes original = raw.Bytes();
  original[20] = 0x57;                                         // reserved bytes are carried unchanged
  original.insert(original.end(), {'t', 'a', 'i', 'l', '!'});  // after the records: not shortened
  WriteFileBytes(name, original);
  {
    TDbfFile table(name, {.creation = TCreation::OpenExisting});
    table.StoreHeader();
  }
  TBytes expected = original;
  const TCalendarDate today = LocalToday();
  expected[1] = static_cast<uint8_t>((today.year - 1900) % 256);
  expected[2] = static_cast<uint8_t>(today.month);
  expected[3] = static_cast<uint8_t>(today.day);
  expected[97 + 2 * 19] = 0x1A;
  EXPECT_EQ(ReadFileBytes(name), expected);
}

TEST(TDbfFile, LongLayoutStoresItsAutoIncrementCounters) {
  const TScratchFolder folder;
  const std::string name = folder / "auto.dbf";
  TRawTable raw{0x30, {{"NOTE", 'C', 3}, {"ID", '+', 4, 0, 7}}, {}};
  WriteFileBytes(name, raw.Bytes());
  TDbfFile table(name, {.creation = TCreation::OpenExisting});
  std::vector<uint8_t> record(8, ' ');
  table.FillAutoIncValues(record.data());
  EXPECT_EQ(TBytes(record.begin() + 4, record.end()), (TBytes{0x80, 0, 0, 7}));
  table.StoreRecord(1, record.data());
  table.AdvanceAutoIncValues();
  EXPECT_EQ(table.FieldDefs().Items(1).AutoIncValue(), 8);
  table.StoreHeader();
  const TBytes bytes = ReadFileBytes(name);
  EXPECT_EQ(LoadLittleEndian(bytes.data(), bytes.size(), 68 + 48 + 42, 4), 8u);
  EXPECT_EQ(HeaderRecordCount(bytes), 1u);
}

TEST(TDbfFile, StoredLengthsThatNormalisationChangesGiveTheRecordSizeWarning) {
  const TScratchFolder folder;
  const std::pair<TRawField, std::string> cases[] = {
      {{"WIDE", 'C', 255}, "Invalid Record Size,\rRecord Size in Hdr : 256\rExpected : 255"},
      {{"RATIO", 'F', 20, 4}, "Invalid Record Size,\rRecord Size in Hdr : 21\rExpected : 9"},
      {{"COUNT", 'N', 30}, "Invalid Record Size,\rRecord Size in Hdr : 31\rExpected : 21"}};
  for (const auto& [field, notice] : cases) {
    const std::string name = folder / (field.name + ".dbf");
    WriteFileBytes(name, TRawTable{0x03, {field}, {}}.Bytes());
    const TNoticeCapture notices;
    TDbfFile table(name, {.read_only = true});
    EXPECT_EQ(notices.Notices(), std::vector<std::string>{notice});
    EXPECT_EQ(table.RecordSize(), field.length + 1);  // the header's length governs records
  }
}

// Every damaged table is refused with a clear error or read with its warnings; reading
// all of it then stays inside the buffers.
TEST(TDbfFile, DamagedTablesAreRefusedOrReadWithTheirWarnings) {
  const TScratchFolder folder;
  TRawTable wide{0x03, {{"NAME", 'C', 10}, {"AMOUNT", 'N', 8, 2}}, {TwoFieldRecord("abc", "1.5")}};
  wide.record_length = 12;  // AMOUNT reaches past the record
  TRawTable header_zero{0x03, kTwoFields, {}};
  header_zero.header_length = 0;
  TRawTable header_ten = header_zero;
  header_ten.header_length = 10;
  TRawTable header_too_long{0x03, kTwoFields, {TwoFieldRecord("abc", "1")}};
  header_too_long.header_length = 65535;
  TRawTable long_header_short{0x04, kTwoFields, {}};
  long_header_short.header_length = 67;
  TRawTable record_zero{0x03, kTwoFields, {TwoFieldRecord("abc", "1")}};
  record_zero.record_length = 0;
  TBytes truncated = TRawTable{0x03, kTwoFields, {TwoFieldRecord("a", "1"), TwoFieldRecord("b", "2")}}.Bytes();
  truncated.resize(truncated.size() - 5);
  const TBytes ten_bytes = {0x03, 126, 1, 1, 0, 0, 0, 0, 0x41, 0};

  struct TCase {
    const char* name;
    TBytes bytes;
    std::string error;
    std::vector<std::string> notices;
    int32_t records;
  };
  const TCase cases[] = {
      {"empty", {}, "Invalid field count : -1 (must be between 1 and 4095)", {}, 0},
      {"header_zero", header_zero.Bytes(), "Invalid field count : -1 (must be between 1 and 4095)", {}, 0},
      {"header_ten", header_ten.Bytes(), "Invalid field count : 0 (must be between 1 and 4095)", {}, 0},
      {"long_short", long_header_short.Bytes(), "Invalid field count : 0 (must be between 1 and 4095)", {}, 0},
      {"ten_bytes", ten_bytes, "", {"Invalid Record Size,\rRecord Size in Hdr : 0\rExpected : 1"}, 0},
      // The record after the terminator is read as a third descriptor: letter ' ', length 32.
      {"header_too_long",
       header_too_long.Bytes(),
       "",
       {"Invalid Record Count,\rRecordCount in Hdr : 1\rexpected : 0",
        "Invalid Record Size,\rRecord Size in Hdr : 19\rExpected : 51"},
       0},
      {"record_zero",
       record_zero.Bytes(),
       "",
       {"Invalid Record Count,\rRecordCount in Hdr : 1\rexpected : 0",
        "Invalid Record Size,\rRecord Size in Hdr : 0\rExpected : 19"},
       0},
      {"wide", wide.Bytes(), "", {"Invalid Record Size,\rRecord Size in Hdr : 12\rExpected : 19"}, 1},
      {"truncated", truncated, "", {"Invalid Record Count,\rRecordCount in Hdr : 2\rexpected : 1"}, 1},
  };
  for (const TCase& damaged : cases) {
    SCOPED_TRACE(damaged.name);
    const std::string name = folder / (std::string(damaged.name) + ".dbf");
    WriteFileBytes(name, damaged.bytes);
    const TNoticeCapture notices;
    if (!damaged.error.empty()) {
      EXPECT_EQ(ErrorOfOpening(name), damaged.error);
      EXPECT_EQ(TPagedFile::FindOpenFile(name), nullptr);
      continue;
    }
    TDbfFile table(name, {.read_only = true});
    EXPECT_EQ(table.RecordCount(), damaged.records);
    std::vector<uint8_t> record(static_cast<size_t>(table.RecordSize()));
    std::string text;
    for (int32_t n = 1; n <= table.RecordCount(); ++n) {
      ASSERT_TRUE(table.LoadRecord(n, record.data()));
      for (int i = 0; i < table.FieldDefs().Count(); ++i)
        table.GetFieldValue(i, TFieldType::ftString, &text, record.data());
    }
    EXPECT_EQ(notices.Notices(), damaged.notices);
    EXPECT_EQ(ReadFileBytes(name), damaged.bytes);
  }
}

TEST(TDbfFile, HugeHeaderLengthReadsItsDescriptorsFromZeros) {
  const TScratchFolder folder;
  const std::string name = folder / "huge.dbf";
  TRawTable raw{0x03, kTwoFields, {}};
  raw.header_length = 65535;
  WriteFileBytes(name, raw.Bytes());
  const TNoticeCapture notices;
  TDbfFile table(name, {.read_only = true});
  ASSERT_EQ(table.FieldDefs().Count(), (65535 - 32) / 32);
  EXPECT_EQ(table.FieldDefs().Items(1).Name(), "AMOUNT");
  EXPECT_EQ(table.FieldDefs().Items(2).Name(), "\r\x1A");  // terminator and end marker
  EXPECT_EQ(table.FieldDefs().Items(3).Name(), "");
  EXPECT_EQ(table.FieldDefs().Items(2).FieldType(), TFieldType::ftUnknown);
  EXPECT_EQ(table.RecordCount(), 0);
}

TEST(TDbfFile, StoreHeaderNeedsAHeader) {
  const TScratchFolder folder;
  TDbfFile table(folder / "new.dbf", {.creation = TCreation::Replace});
  try {
    table.StoreHeader();
    FAIL() << "no error";
  } catch (const EDbfFileError& error) {
    EXPECT_STREQ(error.what(), "HeaderSize=0");
  }
}

TEST(TDbfFile, FailedHeaderWriteIsReported) {
  const TScratchFolder folder;
  const std::string name = folder / "full.dbf";
  WriteFileBytes(name, TRawTable{0x03, kTwoFields, {TwoFieldRecord("a", "1")}}.Bytes());
  TFaults faults;
  faults.failing_write = 2;  // the end marker after the header
  const TFaultyFiles seam(faults, TFaultyFiles::PassedIn);
  TDbfFile table(name, {.creation = TCreation::OpenExisting, .seam = seam.Seam()});
  EXPECT_THROW(table.StoreHeader(), EDbfFileError);
}

TEST(TDbfFile, TableTooWideForItsHeaderIsRefusedBeforeTheFileIsEmptied) {
  const TScratchFolder folder;
  const std::string name = folder / "wide.dbf";
  const TBytes original = TRawTable{0x03, kTwoFields, {TwoFieldRecord("keep", "1")}}.Bytes();
  WriteFileBytes(name, original);
  TDbfFieldDefs many;
  for (int i = 0; i < 2047; ++i) many.Add("F" + std::to_string(i), TFieldType::ftString, 1, false);
  TDbfFieldDefs long_records;
  for (int i = 0; i < 300; ++i) long_records.Add("F" + std::to_string(i), TFieldType::ftString, 254, false);
  const TNoticeCapture notices;
  TDbfFile table(name, {.creation = TCreation::OpenExisting});
  EXPECT_THROW(table.FormatTable(many), EDbfFileError);
  EXPECT_THROW(table.FormatTable(long_records), EDbfFileError);
  EXPECT_EQ(ReadFileBytes(name), original);
}

TEST(TDbfFile, TwoOpenersOfOnePathShareOneObject) {
  const TScratchFolder folder;
  const std::string name = folder / "shared.dbf";
  WriteFileBytes(name, TRawTable{0x03, kTwoFields, {TwoFieldRecord("a", "1"), TwoFieldRecord("b", "2")}}.Bytes());
  bool made = false;
  std::shared_ptr<TDbfFile> first = TDbfFile::OpenShared(name, {.creation = TCreation::OpenExisting}, made);
  EXPECT_TRUE(made);
  std::shared_ptr<TDbfFile> second = TDbfFile::OpenShared(name, {.read_only = true}, made);
  EXPECT_FALSE(made);
  ASSERT_EQ(second, first);
  EXPECT_FALSE(second->ReadOnly()) << "shared as the first opener opened it";
  first.reset();
  std::vector<uint8_t> record(19);
  ASSERT_EQ(TPagedFile::FindOpenFile(name), second.get());
  EXPECT_TRUE(second->LoadRecord(2, record.data()));
  EXPECT_EQ(record[1], 'b');
  second.reset();
  EXPECT_EQ(TPagedFile::FindOpenFile(name), nullptr);

  // A tool's own look at the file is no shared object: a dataset cannot take it over.
  const TDbfFile own(name, {.read_only = true});
  EXPECT_THROW(TDbfFile::OpenShared(name, {.read_only = true}, made), EDbfEngineError);
}

}  // namespace
}  // namespace dbf
