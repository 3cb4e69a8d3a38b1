// A FoxPro table's columns read with FoxPro's encodings and null flags through the
// dataset's field objects: varying-length text, memo block numbers, blank date-times and
// the bits of the null flags. The other version bytes, the read-only table and the
// columns python3-dbf writes (I, Y, T, B among them): tests/dbftool/PeerTables_test.py.
#include "DbfFoxProValues.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatasetTestSupport.h"

namespace dbf {
namespace {

using filetest::TRawField;
using filetest::TRawTable;
using filetest::TScratchFolder;
using filetest::WriteFileBytes;

std::string LittleEndian(uint64_t value, size_t width) {
  std::string bytes;
  for (size_t i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

// Bits of the null flags: NAME null 0; NOTE length 1, null 2; BIN length 3; COUNT null 4.
const std::vector<TRawField> kFoxProFields = {{"NAME", 'C', 6, 0, 0, kFoxProNullable},
                                              {"STAMP", 'T', 8},
                                              {"NOTE", 'V', 6, 0, 0, kFoxProNullable},
                                              {"BIN", 'Q', 4},
                                              {"MEMO", 'M', 4},
                                              {"COUNT", 'N', 5, 0, 0, kFoxProNullable},
                                              {"_NullFlags", '0', 1, 0, 0, 0x05}};

const std::vector<std::string> kFoxProRecords = {
    " Nov\xA0k " + LittleEndian(2460370, 4) + LittleEndian(49507000, 4) + "abcde\x03" + std::string("xy\0\x02", 4) +
        LittleEndian(7, 4) + "   42" + "\x0A",
    " " + std::string(14, ' ') + "abcdef" + "ab\x7F\x09" + std::string(4, '\0') + "   42" + "\x1D",
};

TEST(DbfFoxProValues, ColumnsReadWithFoxProsEncodingsAndNullFlags) {
  const TScratchFolder folder;
  TRawTable raw{0x30, kFoxProFields, kFoxProRecords};
  raw.foxpro_layout = true;
  WriteFileBytes(folder / "FOX.DBF", raw.Bytes());
  const filetest::TNoticeCapture notices;
  const auto table = testing::DataSetOn(folder, "FOX.DBF");
  table->open();
  EXPECT_TRUE(notices.Notices().empty());
  ASSERT_EQ(table->fieldCount(), 6);  // the null flags are no field
  const std::vector<std::vector<std::string>> expected = {
      {"Novák", "2024-02-29 13:45:07", "abc", "xy", "(MEMO)", "42"},
      {"", "", "", "ab\x7F", "(memo)", ""},
  };
  table->moveFirst();
  for (const std::vector<std::string>& record : expected) {
    SCOPED_TRACE("record " + std::to_string(table->recordNumber()));
    for (int i = 0; i < table->fieldCount(); ++i) EXPECT_EQ(table->fieldAt(i).displayText(), record[i]) << i;
    table->moveNext();
  }
  EXPECT_TRUE(table->atEof());
  EXPECT_THROW(table->fieldNamed("NAME").writeString("Adam"), EDbfFileError);  // the table is read-only
}

// A descriptor may give a binary column fewer bytes than its type holds (found by the
// fuzz target): the column reads its own bytes and zeros, never the next column's.
TEST(DbfFoxProValues, ShortBinaryColumnsReadOnlyTheirOwnBytes) {
  const TScratchFolder folder;
  TRawTable raw{0x30,
                {{"B", 'B', 2}, {"Y", 'Y', 3}, {"I", 'I', 1}, {"TAIL", 'C', 8}},
                {std::string(" \0\0\x10\x27\0\x05", 7) + "FFFFFFFF"}};
  raw.foxpro_layout = true;
  WriteFileBytes(folder / "SHORT.DBF", raw.Bytes());
  const auto table = testing::DataSetOn(folder, "SHORT.DBF");
  table->open();
  EXPECT_EQ(table->fieldNamed("B").displayText(), "0");
  EXPECT_EQ(table->fieldNamed("Y").displayText(), "1");
  EXPECT_EQ(table->fieldNamed("I").readInteger(), 5);
}

}  // namespace
}  // namespace dbf
