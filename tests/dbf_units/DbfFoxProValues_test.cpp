// FoxPro tables: the layout chosen by the header, the columns read with FoxPro's encodings
// and null flags through the dataset's field objects, and every write refused.
#include "DbfFoxProValues.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"

namespace dbf {
namespace {

using filetest::ReadFileBytes;
using filetest::TRawField;
using filetest::TRawTable;
using filetest::TScratchFolder;
using filetest::WriteFileBytes;

std::string LittleEndian(uint64_t value, size_t width) {
  std::string bytes;
  for (size_t i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string Double(double value) { return LittleEndian(std::bit_cast<uint64_t>(value), 8); }

// Bits of the null flags: NAME null 0; NOTE length 1, null 2; BIN length 3; COUNT null 4.
const std::vector<TRawField> kFoxProFields = {{"NAME", 'C', 6, 0, 0, kFoxProNullable},
                                              {"ID", 'I', 4},
                                              {"PRICE", 'Y', 8},
                                              {"STAMP", 'T', 8},
                                              {"RATIO", 'B', 8},
                                              {"NOTE", 'V', 6, 0, 0, kFoxProNullable},
                                              {"BIN", 'Q', 4},
                                              {"MEMO", 'M', 4},
                                              {"COUNT", 'N', 5, 0, 0, kFoxProNullable},
                                              {"_NullFlags", '0', 1, 0, 0, 0x05}};

const std::vector<std::string> kFoxProRecords = {
    " Nov\xA0k " + LittleEndian(static_cast<uint32_t>(-5), 4) + LittleEndian(125000, 8) + LittleEndian(2460370, 4) +
        LittleEndian(49507000, 4) + Double(2.25) + "abcde\x03" + std::string("xy\0\x02", 4) + LittleEndian(7, 4) +
        "   42" + "\x0A",
    " " + std::string(6, ' ') + std::string(28, '\0') + "abcdef" + "abcd" + std::string(4, '\0') + "   42" + "\x15",
    " Eva   " + LittleEndian(2147483647, 4) + LittleEndian(static_cast<uint64_t>(-1), 8) + std::string(8, ' ') +
        Double(-1e10) + "abcdef" + "ab\x7F\x09" + LittleEndian(0, 4) + "     " + "\x08",
};

TRawTable FoxProTable(uint8_t version = 0x30) {
  TRawTable raw{version, kFoxProFields, kFoxProRecords};
  raw.foxpro_layout = true;
  return raw;
}

TEST(DbfFoxProValues, ColumnsReadWithFoxProsEncodingsAndNullFlags) {
  const TScratchFolder folder;
  WriteFileBytes(folder / "FOX.DBF", FoxProTable().Bytes());
  const filetest::TNoticeCapture notices;
  const auto table = testing::DataSetOn(folder, "FOX.DBF");
  table->open();
  EXPECT_TRUE(notices.Notices().empty());
  std::vector<std::string> names;
  for (int i = 0; i < table->fieldCount(); ++i) names.push_back(table->fieldAt(i).FieldName());
  EXPECT_EQ(names, (std::vector<std::string>{"NAME", "ID", "PRICE", "STAMP", "RATIO", "NOTE", "BIN", "MEMO", "COUNT"}));
  const std::vector<std::vector<std::string>> expected = {
      {"Novák", "-5", "12.5", "2024-02-29 13:45:07", "2.25", "abc", "xy", "(MEMO)", "42"},
      {"", "0", "0", "", "0", "", "abcd", "(memo)", ""},
      {"Eva", "2147483647", "-0.0001", "", "-10000000000", "abcdef", "ab\x7F", "(memo)", ""},
  };
  table->moveFirst();
  for (const std::vector<std::string>& record : expected) {
    SCOPED_TRACE("record " + std::to_string(table->recordNumber()));
    for (int i = 0; i < table->fieldCount(); ++i) EXPECT_EQ(table->fieldAt(i).displayText(), record[i]) << i;
    table->moveNext();
  }
  EXPECT_TRUE(table->atEof());
}

TEST(DbfFoxProValues, FoxProVersionBytesTakeTheShortLayoutOnlyWhenTheHeaderFitsIt) {
  struct TCase {
    uint8_t version;
    bool foxpro_header;
    THeaderLayout layout;
  };
  const TCase cases[] = {
      {0x30, true, THeaderLayout::FoxPro}, {0x31, true, THeaderLayout::FoxPro}, {0x32, true, THeaderLayout::FoxPro},
      {0xF5, true, THeaderLayout::FoxPro}, {0xFB, true, THeaderLayout::FoxPro}, {0x30, false, THeaderLayout::Long},
      {0xF5, false, THeaderLayout::Long},  {0xFB, false, THeaderLayout::Short}, {0x03, true, THeaderLayout::Short},
  };
  const TScratchFolder folder;
  for (const TCase& c : cases) {
    SCOPED_TRACE("version " + std::to_string(c.version) + (c.foxpro_header ? ", FoxPro's header" : ""));
    TRawTable raw{c.version, {{"ID", 'I', 4}}, {" " + LittleEndian(0x01000080, 4)}};
    raw.foxpro_layout = c.foxpro_header;
    if (c.version == 0xFB && !c.foxpro_header) {
      // A byte between the terminator and the first record: no FoxPro header.
      raw.header_length = 32 + 32 + 2;
      raw.records[0].insert(0, 1, '\0');
      raw.record_length = 5;
    }
    WriteFileBytes(folder / "T.DBF", raw.Bytes());
    const TDbfFile file(folder / "T.DBF", false, false, true);
    EXPECT_EQ(file.Layout(), c.layout);
    EXPECT_EQ(file.FormatLevel(), FormatLevelOfVersion(c.version));
    EXPECT_EQ(file.WritableLayout(), c.layout != THeaderLayout::FoxPro);
    ASSERT_EQ(file.FieldDefs().Count(), 1);
    std::vector<uint8_t> record(5);
    ASSERT_TRUE(const_cast<TDbfFile&>(file).LoadRecord(1, record.data()));
    int32_t value = 0;
    EXPECT_TRUE(file.GetFieldValue(0, TFieldType::ftInteger, &value, record.data()));
    // 80 00 00 01: FoxPro's little-endian integer, or dBase's big-endian one biased by 2^31.
    EXPECT_EQ(value, c.layout == THeaderLayout::FoxPro ? 0x01000080 : 1);
  }
}

TEST(DbfFoxProValues, EveryWriteIsRefusedAndTheFileStaysAsItWas) {
  const TScratchFolder folder;
  WriteFileBytes(folder / "FOX.DBF", FoxProTable(0xF5).Bytes());
  const filetest::TBytes before = ReadFileBytes(folder / "FOX.DBF");
  const std::string refusal =
      "Cannot write file " + folder / "FOX.DBF" + ": it is a FoxPro table, which this program only reads";
  const auto table = testing::DataSetOn(folder, "FOX.DBF");
  table->open();
  table->moveFirst();
  const std::vector<std::pair<const char*, std::function<void()>>> writes = {
      {"startAppend", [&] { table->startAppend(); }},
      {"startInsert", [&] { table->startInsert(); }},
      {"startEdit", [&] { table->startEdit(); }},
      {"deleteRecord", [&] { table->deleteRecord(); }},
      {"writeString", [&] { table->fieldNamed("NAME").writeString("Adam"); }},
      {"engine",
       [&] {
         TDbfEngine engine;
         engine.Open({}, folder / "FOX.DBF", false, false, false);
         engine.StoreNewRecord(std::vector<uint8_t>(64, ' ').data());
       }},
  };
  for (const auto& [what, write] : writes) {
    SCOPED_TRACE(what);
    try {
      write();
      ADD_FAILURE() << "not refused";
    } catch (const EDbfFileError& error) {
      EXPECT_EQ(error.what(), refusal);
    }
  }
  table->close();
  EXPECT_EQ(ReadFileBytes(folder / "FOX.DBF"), before);
}

}  // namespace
}  // namespace dbf
