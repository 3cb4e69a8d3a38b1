// FoxPro's binary field encodings, its varying-length text and its null flags.
#include "DbfFoxProValues.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "DbfFileLayout.h"

namespace dbf {

namespace {

// The Julian day of 31 December of the year 0: day number 1 is 1 January of the year 1.
constexpr int64_t kJulianDayOfDayZero = 1721425;
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr double kCurrencyUnitsPerOne = 10000.0;

uint64_t LoadLittleEndian64(const uint8_t* bytes, size_t size) {
  return LoadLittleEndian(bytes, size, 0, 4) | uint64_t{LoadLittleEndian(bytes, size, 4, 4)} << 32;
}

template <typename T>
void Store(void* dest, T value) {
  std::memcpy(dest, &value, sizeof value);
}

bool WantsDouble(TFieldType type) { return type == TFieldType::ftFloat || type == TFieldType::ftCurrency; }

}  // namespace

bool FoxProFlagSet(const TFieldSpan& null_flags, int bit, const uint8_t* record) {
  if (bit < 0 || static_cast<size_t>(bit / 8) >= null_flags.length) return false;
  return ((record[null_flags.offset + static_cast<size_t>(bit / 8)] >> (bit % 8)) & 1) != 0;
}

// Another program's descriptor may give a binary column fewer bytes than its type holds:
// the bytes past the column then read as zeros, never as the next column's or past the record.
bool GetFoxProBinaryValue(const TDbfFieldDef& def, TFieldType type, const uint8_t* bytes, void* dest) {
  const auto size = static_cast<size_t>(std::max(def.Size(), 0));
  switch (def.NativeFieldType()) {
    case 'I':
      if (dest != nullptr && (type == TFieldType::ftInteger || type == TFieldType::ftAutoInc)) {
        Store(dest, static_cast<int32_t>(LoadLittleEndian(bytes, size, 0, 4)));
      }
      return true;
    case 'Y':
      if (dest != nullptr && WantsDouble(type)) {
        Store(dest, static_cast<double>(static_cast<int64_t>(LoadLittleEndian64(bytes, size))) / kCurrencyUnitsPerOne);
      }
      return true;
    case 'B':
      if (dest != nullptr && WantsDouble(type)) Store(dest, std::bit_cast<double>(LoadLittleEndian64(bytes, size)));
      return true;
    case 'T': {
      // A blank date-time is day 0, or blanks where another program cleared it.
      const uint32_t julian_day = LoadLittleEndian(bytes, size, 0, 4);
      if (julian_day == 0 ||
          std::all_of(bytes, bytes + std::min<size_t>(size, 8), [](uint8_t byte) { return byte == ' '; }))
        return false;
      if (dest != nullptr && type == TFieldType::ftDateTime) {
        const double day_number = static_cast<double>(int64_t{julian_day} - kJulianDayOfDayZero);
        Store(dest, day_number * kMillisecondsPerDay + LoadLittleEndian(bytes, size, 4, 4));
      }
      return true;
    }
    default: {  // a memo letter
      const uint32_t block = LoadLittleEndian(bytes, size, 0, 4);
      if (block == 0) return false;
      if (dest != nullptr && type == TFieldType::ftString)
        static_cast<std::string*>(dest)->assign(std::to_string(block));
      return true;
    }
  }
}

std::string_view FoxProText(const TDbfFieldDef& def, std::string_view bytes, bool shortened) {
  const char letter = def.NativeFieldType();
  if (!shortened || (letter != 'V' && letter != 'Q') || bytes.empty()) return bytes;
  const auto length = static_cast<uint8_t>(bytes.back());
  return bytes.substr(0, std::min<size_t>(length, bytes.size() - 1));
}

}  // namespace dbf
