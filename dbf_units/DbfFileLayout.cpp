// Byte order, the format level of a version byte and the version bytes known, FoxPro's
// header layout, and the header prefix figures.
#include "DbfFileLayout.h"

#include <algorithm>
#include <iterator>

namespace dbf {

uint32_t LoadLittleEndian(const uint8_t* buffer, size_t size, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = width; i-- > 0;) value = (value << 8) | (at + i < size ? buffer[at + i] : 0);
  return value;
}

void StoreLittleEndian(uint8_t* buffer, size_t size, size_t at, size_t width, uint32_t value) {
  for (size_t i = 0; i < width && at + i < size; ++i) buffer[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t LoadBigEndian(const uint8_t* bytes, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value = (value << 8) | bytes[i];
  return value;
}

void StoreBigEndian(uint8_t* bytes, size_t width, uint64_t value) {
  for (size_t i = width; i-- > 0;) {
    bytes[i] = static_cast<uint8_t>(value);
    value >>= 8;
  }
}

std::string HexByte(uint8_t byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

int FormatLevelOfVersion(uint8_t version) {
  switch (version) {
    case 0x83:
      return 2;
    case 0x04:
    case 0x8C:
      return 5;
    case 0xF5:
      return 6;
    case 0x30:
      return 7;
    default:
      return 3;
  }
}

const TLayout& LayoutOfLevel(int format_level) { return format_level >= 5 ? kLongLayout : kShortLayout; }

int32_t PrefixLengthOfVersion(uint8_t version) {
  if (IsFoxProVersion(version)) return kShortLayout.prefix_length;
  return LayoutOfLevel(FormatLevelOfVersion(version)).prefix_length;
}

bool IsFoxProVersion(uint8_t version) {
  return version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5 || version == 0xFB;
}

bool IsKnownVersion(uint8_t version) {
  static constexpr uint8_t kKnownVersions[] = {0x02, 0x03, 0x04, 0x05, 0x07, 0x30, 0x31, 0x32, 0x43, 0x63, 0x7B,
                                               0x83, 0x87, 0x8B, 0x8C, 0x8E, 0xB3, 0xCB, 0xE5, 0xF5, 0xFB};
  return std::find(std::begin(kKnownVersions), std::end(kKnownVersions), version) != std::end(kKnownVersions);
}

std::optional<int32_t> FoxProDescriptorCount(const uint8_t* header, size_t size) {
  const auto first = static_cast<size_t>(kShortLayout.prefix_length);
  const auto step = static_cast<size_t>(kShortLayout.descriptor_length);
  for (size_t at = first; at < size; at += step) {
    if (header[at] != kHeaderTerminator) continue;
    const size_t end = at + 1;
    if (size != end && size != end + kFoxProBacklinkLength) return std::nullopt;
    return static_cast<int32_t>((at - first) / step);
  }
  return std::nullopt;
}

THeaderPrefix ReadHeaderPrefix(const uint8_t* header, size_t size) {
  const auto version = static_cast<uint8_t>(LoadLittleEndian(header, size, kVersionAt, 1));
  return {version, FormatLevelOfVersion(version), LoadLittleEndian(header, size, kRecordCountAt, 4),
          static_cast<int32_t>(LoadLittleEndian(header, size, kHeaderLengthAt, 2)),
          static_cast<int32_t>(LoadLittleEndian(header, size, kRecordLengthAt, 2))};
}

}  // namespace dbf
