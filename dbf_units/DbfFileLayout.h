// The bytes of a table file that every reader and writer of it agrees on: integers in
// little- and big-endian order, where the header prefix and the field descriptors keep
// their figures in the short and the long layout, and the marker bytes of records and of
// the file. The file layer, dbftool and the tests read and write headers through this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace dbf {

// A little-endian integer of `width` bytes (1 to 4) at `at` of a buffer of `size` bytes.
// Bytes past the buffer read as zero and are not written, so a header shorter than its
// prefix is never overrun.
uint32_t LoadLittleEndian(const uint8_t* buffer, size_t size, size_t at, size_t width);
void StoreLittleEndian(uint8_t* buffer, size_t size, size_t at, size_t width, uint32_t value);

// A big-endian integer of `width` bytes (1 to 8), as the binary type letters store values.
uint64_t LoadBigEndian(const uint8_t* bytes, size_t width);
void StoreBigEndian(uint8_t* bytes, size_t width, uint64_t value);

// Where the parts of the header prefix and of a field descriptor lie in a layout.
struct TLayout {
  int32_t prefix_length;
  int32_t descriptor_length;
  size_t name_length;
  size_t letter_at;
  size_t length_at;
  size_t decimals_at;
};

inline constexpr TLayout kShortLayout{32, 32, 11, 11, 16, 17};
inline constexpr TLayout kLongLayout{68, 48, 32, 32, 33, 34};
// The next value of a '+' field, in long-layout descriptors only.
inline constexpr size_t kAutoIncAt = 42;

// The figures of the header prefix, the same in both layouts.
inline constexpr size_t kVersionAt = 0;
inline constexpr size_t kDateAt = 1;  // year - 1900, month, day
inline constexpr size_t kRecordCountAt = 4;
inline constexpr size_t kHeaderLengthAt = 8;
inline constexpr size_t kRecordLengthAt = 10;
// The code-page mark (the dBase language-driver id); 0 when the table carries none.
inline constexpr size_t kCodePageMarkAt = 29;

inline constexpr uint8_t kCreatedVersion = 0x03;
inline constexpr uint8_t kHeaderTerminator = 0x0D;
inline constexpr uint8_t kEndMarker = 0x1A;
// The first byte of every record; a reader takes any other value for a deleted record.
inline constexpr uint8_t kValidRecordFlag = ' ';
inline constexpr uint8_t kDeletedRecordFlag = '*';

// A header byte as messages show it: "0x7B".
std::string HexByte(uint8_t byte);

// The format level a version byte selects: 2 and 3 have the short layout, 5, 6 and 7 the
// long one. No version byte is refused; unknown ones are level 3.
int FormatLevelOfVersion(uint8_t version);
const TLayout& LayoutOfLevel(int format_level);
// The shortest header prefix a table with this version byte has: 68 bytes in the long
// layout, else 32 (FoxPro's version bytes included, whose tables may have either).
int32_t PrefixLengthOfVersion(uint8_t version);

// How a table's header and values are laid out: the short or the long layout of its
// format level, or FoxPro's short layout with FoxPro's value encodings.
enum class THeaderLayout { Short, Long, FoxPro };

// The version bytes of Visual FoxPro (0x30 to 0x32) and FoxPro (0xF5, 0xFB).
bool IsFoxProVersion(uint8_t version);
// Whether a program of the dBase family writes this version byte: levels III to 7 and
// their relatives, with and without memo files.
bool IsKnownVersion(uint8_t version);
// Visual FoxPro writes a backlink of this many bytes after the header terminator.
inline constexpr int32_t kFoxProBacklinkLength = 263;
// The flags byte of a FoxPro field descriptor and its bit for a column that may be null.
inline constexpr size_t kFoxProFlagsAt = 18;
inline constexpr uint8_t kFoxProNullable = 0x02;
// The letter of the hidden column that holds a record's null flags ("_NullFlags").
inline constexpr char kFoxProNullFlagsLetter = '0';

// The number of field descriptors of a header of `size` bytes (its header length) laid
// out in the short layout as FoxPro writes it: the terminator right after the last
// descriptor, at 32 + 32n, and the header ending there or after the backlink. Nothing
// when the header is laid out otherwise.
std::optional<int32_t> FoxProDescriptorCount(const uint8_t* header, size_t size);

// The prefix figures of a header buffer of `size` bytes (zero where it is shorter).
struct THeaderPrefix {
  uint8_t version;
  int format_level;
  uint32_t record_count;
  int32_t header_length;
  int32_t record_length;
};
THeaderPrefix ReadHeaderPrefix(const uint8_t* header, size_t size);

}  // namespace dbf
