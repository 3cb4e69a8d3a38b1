// The bytes of a table file: integers that never reach past their buffer, and the prefix
// figures of a header however short it is.
#include "DbfFileLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "FileLayerTestSupport.h"

namespace dbf {
namespace {

TEST(DbfFileLayout, IntegersStayInsideTheirBuffer) {
  const std::array<uint8_t, 3> bytes = {0x34, 0x12, 0xFF};
  EXPECT_EQ(LoadLittleEndian(bytes.data(), bytes.size(), 0, 2), 0x1234u);
  EXPECT_EQ(LoadLittleEndian(bytes.data(), bytes.size(), 1, 4), 0xFF12u) << "bytes past the buffer read as zero";
  std::array<uint8_t, 4> written = {};
  StoreLittleEndian(written.data(), 3, 1, 4, 0xAABBCCDD);
  EXPECT_EQ(written, (std::array<uint8_t, 4>{0, 0xDD, 0xCC, 0})) << "nothing is written past the buffer";

  std::array<uint8_t, 8> big = {};
  StoreBigEndian(big.data(), 8, 0x0102030405060708);
  EXPECT_EQ(big, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(LoadBigEndian(big.data(), 4), 0x01020304u);
}

TEST(DbfFileLayout, PrefixFiguresOfEitherLayoutAndOfAShortHeader) {
  const filetest::TRawTable long_table{.version = 0x8C, .fields = {{"ID", '+', 4}}, .records = {" \x80\0\0\x01"}};
  const filetest::TBytes bytes = long_table.Bytes();
  const THeaderPrefix prefix = ReadHeaderPrefix(bytes.data(), bytes.size());
  EXPECT_EQ(prefix.version, 0x8C);
  EXPECT_EQ(prefix.format_level, 5);
  EXPECT_EQ(prefix.record_count, 1u);
  EXPECT_EQ(prefix.header_length, 68 + 48 + 1);
  EXPECT_EQ(prefix.record_length, 5);
  EXPECT_EQ(PrefixLengthOfVersion(0x8C), 68);
  EXPECT_EQ(PrefixLengthOfVersion(0x83), 32);

  const THeaderPrefix cut = ReadHeaderPrefix(bytes.data(), 9);
  EXPECT_EQ(cut.header_length, 68 + 48 + 1) << "the low byte of the header length is the ninth";
  EXPECT_EQ(cut.record_length, 0);
}

}  // namespace
}  // namespace dbf
