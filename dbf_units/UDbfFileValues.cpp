// The value encoding of table records: a field's bytes in a record buffer as a typed
// value and back, for the text letters and the big-endian binary letters I, +, O and @;
// FoxPro tables' columns are read through DbfFoxProValues.
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "DbfFoxProValues.h"
#include "DbfValueText.h"
#include "UDbfFile.h"

namespace dbf {

namespace {

constexpr uint32_t kIntegerBias = 0x80000000u;
constexpr uint64_t kSignBit = uint64_t{1} << 63;

// The bytes of a field that lie inside the record. Fields of a damaged header may reach
// past the record length; their bytes beyond it do not exist for us.
TFieldSpan ClampedSpan(const TDbfFieldDef& def, int32_t record_size) {
  const int64_t record_end = std::max(record_size, 0);
  const int64_t begin = std::clamp<int64_t>(def.Offset(), 0, record_end);
  const int64_t end = std::clamp<int64_t>(int64_t{def.Offset()} + std::max(def.Size(), 0), begin, record_end);
  return {static_cast<size_t>(begin), static_cast<size_t>(end - begin),
          end - begin == std::max(def.Size(), 0) && def.Offset() >= 0, def.NeedsDecoding()};
}

// Every field of a sound header lies wholly inside the record; this test is small enough
// to be inlined into each field access, the clamping is not.
TFieldSpan SpanInsideRecord(const TDbfFieldDef& def, int32_t record_size) {
  if (def.Offset() >= 0 && def.Size() >= 0 && int64_t{def.Offset()} + def.Size() <= record_size) {
    return {static_cast<size_t>(def.Offset()), static_cast<size_t>(def.Size()), true, def.NeedsDecoding()};
  }
  return ClampedSpan(def, record_size);
}

template <typename T>
T Load(const void* source) {
  T value;
  std::memcpy(&value, source, sizeof value);
  return value;
}

template <typename T>
void Store(void* dest, T value) {
  std::memcpy(dest, &value, sizeof value);
}

bool IsFourByteLetter(char letter) { return letter == 'I' || letter == '+'; }

// A binary letter hands out a 32-bit integer (I, +) or a double (O, @). The caller's
// buffer must be of that kind: a request of another type would have us write past it.
bool BufferFitsLetter(char letter, TFieldType type) {
  if (IsFourByteLetter(letter)) return type == TFieldType::ftInteger || type == TFieldType::ftAutoInc;
  return type == TFieldType::ftFloat || type == TFieldType::ftCurrency || type == TFieldType::ftDateTime;
}

// Binary letters: false when all bytes are zero. An 'O' value is stored so that the bytes
// sort like the numbers (sign bit flipped for positives, all bits inverted for
// negatives); '@' is a plain big-endian double.
bool GetBinaryValue(char letter, TFieldType type, const uint8_t* bytes, void* dest) {
  const uint64_t pattern = LoadBigEndian(bytes, IsFourByteLetter(letter) ? 4 : 8);
  if (pattern == 0) return false;
  if (dest == nullptr || !BufferFitsLetter(letter, type)) return true;
  if (IsFourByteLetter(letter)) {
    Store(dest, static_cast<int32_t>(static_cast<uint32_t>(pattern) ^ kIntegerBias));
  } else if (letter == 'O') {
    Store(dest, std::bit_cast<double>((pattern & kSignBit) ? pattern ^ kSignBit : ~pattern));
  } else {
    Store(dest, std::bit_cast<double>(pattern));
  }
  return true;
}

uint64_t BinaryPattern(char letter, const void* source) {
  if (source == nullptr) return 0;
  if (IsFourByteLetter(letter)) return static_cast<uint32_t>(Load<int32_t>(source)) + kIntegerBias;
  const double value = Load<double>(source);
  const auto bits = std::bit_cast<uint64_t>(value);
  if (letter == 'O') return value < 0 ? ~bits : bits | kSignBit;
  return bits;
}

void ConvertText(std::string_view text, TFieldType type, void* dest) {
  switch (type) {
    case TFieldType::ftString:
      static_cast<std::string*>(dest)->assign(text);
      return;
    case TFieldType::ftSmallint:
      Store(dest, static_cast<int16_t>(IntegerOr(text, INT16_MIN, INT16_MAX, 0)));
      return;
    case TFieldType::ftInteger:
      Store(dest, static_cast<int32_t>(IntegerOr(text, INT32_MIN, INT32_MAX, 0)));
      return;
    case TFieldType::ftLargeint:
      Store(dest, IntegerOr(text, INT64_MIN, INT64_MAX, 0));
      return;
    case TFieldType::ftBoolean:
      Store(dest, static_cast<int16_t>(text.front() == 'T' || text.front() == 't' ? 1 : 0));
      return;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
      Store(dest, FloatOrZero(text));
      return;
    case TFieldType::ftDate:
      Store(dest, DayNumberOfDateText(text, static_cast<int>(LocalToday().year)));
      return;
    default:
      return;  // other types only learn whether there is a value
  }
}

std::string RightJustified(std::string text, int32_t width) {
  if (static_cast<int64_t>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  return text;
}

// The decimal digits of `value` at the end of `width` blanks (or alone when wider): built
// in place, as every numeric field of every appended record needs one.
std::string RightJustifiedInteger(int64_t value, int32_t width) {
  std::array<char, 24> digits;
  const char* const end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  const auto length = static_cast<size_t>(end - digits.data());
  std::string text(std::max(length, static_cast<size_t>(std::max(width, 0))), ' ');
  std::memcpy(text.data() + text.size() - length, digits.data(), length);
  return text;
}

// The part of a string value that a text field stores: up to its first zero byte.
std::string_view TextBeforeZero(const void* source) {
  const std::string_view text = *static_cast<const std::string*>(source);
  return text.substr(0, text.find('\0'));
}

// The text a field of a text letter gets for a value of a requested type other than
// ftString, before it is fitted to the field; numbers come right-justified.
std::string TextOfValue(const TDbfFieldDef& def, TFieldType type, const void* source) {
  if (source == nullptr) return {};
  switch (type) {
    case TFieldType::ftSmallint:
      return RightJustifiedInteger(Load<int16_t>(source), def.Size());
    case TFieldType::ftInteger:
      return RightJustifiedInteger(Load<int32_t>(source), def.Size());
    case TFieldType::ftLargeint:
      return RightJustifiedInteger(Load<int64_t>(source), def.Size());
    case TFieldType::ftBoolean:
      return Load<int16_t>(source) == 1 ? "T" : "F";
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
      return RightJustified(FormatFloat(Load<double>(source), def.Prec(), def.Size()), def.Size());
    case TFieldType::ftDate:
      return DateTextOfDayNumber(Load<int32_t>(source));
    default:
      return {};
  }
}

// Out of line, so that the lookup it guards stays small enough to be inlined into every
// field access.
[[noreturn]] void InvalidFieldIndex(int field_index, int field_count) {
  throw EDbfFileError("Invalid field index : " + std::to_string(field_index) + " (the table has " +
                      std::to_string(field_count) + " fields)");
}

// The text cut or padded with blanks to the field, as far as the field lies in the record.
void StoreText(std::string_view text, const TFieldSpan& bytes, uint8_t* record) {
  const size_t copied = std::min(text.size(), bytes.length);
  if (copied > 0) std::memcpy(record + bytes.offset, text.data(), copied);
  std::memset(record + bytes.offset + copied, ' ', bytes.length - copied);
}

// The documented text first; then the field and the table, which it does not name.
EDbfFileError FieldDataTooLong(size_t length, const TDbfFieldDef& def, const std::string& table) {
  return EDbfFileError("Field data too long :" + std::to_string(length) + " (must be between 1 and " +
                       std::to_string(def.Size()) + "). Field '" + def.Name() + "' of table " + table);
}

}  // namespace

const TDbfFieldDef& TDbfFile::FieldAt(int field_index) const {
  if (field_index < 0 || field_index >= FieldDefs().Count()) InvalidFieldIndex(field_index, FieldDefs().Count());
  return FieldDefs().Items(field_index);
}

TFieldSpan TDbfFile::FieldSpan(int field_index) const { return SpanInsideRecord(FieldAt(field_index), RecordSize()); }

bool TDbfFile::GetFieldValue(int field_index, TFieldType type, void* dest, const uint8_t* record) const {
  const TDbfFieldDef& def = FieldAt(field_index);
  const TFieldSpan span = SpanInsideRecord(def, RecordSize());
  std::string_view bytes(reinterpret_cast<const char*>(record + span.offset), span.length);
  if (span.decoded) {
    if (!def.FoxPro()) return span.complete && GetBinaryValue(def.NativeFieldType(), type, record + span.offset, dest);
    if (FoxProFlagSet(null_flags_, def.NullBit(), record)) return false;
    if (def.IsBinary()) return span.complete && GetFoxProBinaryValue(def, type, record + span.offset, dest);
    bytes = FoxProText(def, bytes, span.complete && FoxProFlagSet(null_flags_, def.LengthBit(), record));
  }
  const std::string_view text = TrimControlCharacters(bytes);
  if (text.empty()) return false;
  if (dest != nullptr) ConvertText(text, type, dest);
  return true;
}

void TDbfFile::SetFieldValue(int field_index, TFieldType type, uint8_t* record, const void* source) const {
  const TDbfFieldDef& def = FieldAt(field_index);
  if (def.FoxPro()) CheckWritable();
  const TFieldSpan bytes = SpanInsideRecord(def, RecordSize());
  if (def.IsBinary()) {
    if (source != nullptr && !BufferFitsLetter(def.NativeFieldType(), type)) {
      throw EDbfFileError(std::string("Field ") + def.Name() + ": a " + FieldTypeName(type) +
                          " value does not fit its type letter " + def.NativeFieldType());
    }
    std::array<uint8_t, 8> encoded{};
    const size_t width = IsFourByteLetter(def.NativeFieldType()) ? 4 : 8;
    StoreBigEndian(encoded.data(), width, BinaryPattern(def.NativeFieldType(), source));
    std::copy_n(encoded.begin(), std::min(width, bytes.length), record + bytes.offset);
    return;
  }
  if (type == TFieldType::ftString) {
    // A text is cut to the field, never refused, and goes in without a copy.
    StoreText(source == nullptr ? std::string_view() : TextBeforeZero(source), bytes, record);
    return;
  }
  const std::string text = TextOfValue(def, type, source);
  if (text.size() > static_cast<size_t>(std::max(def.Size(), 0))) throw FieldDataTooLong(text.size(), def, FileName());
  StoreText(text, bytes, record);
}

void TDbfFile::BlankRecord(uint8_t* record) const {
  std::fill_n(record, std::max(RecordSize(), 0), static_cast<uint8_t>(' '));
  for (int i = 0; i < FieldDefs().Count(); ++i) {
    const TDbfFieldDef& def = FieldDefs().Items(i);
    if (def.IsBinary()) SetFieldValue(i, def.FieldType(), record, nullptr);
  }
  FillAutoIncValues(record);
}

void TDbfFile::FillAutoIncValues(uint8_t* record) const {
  if (!LongLayout()) return;
  for (int i = 0; i < FieldDefs().Count(); ++i) {
    const TDbfFieldDef& def = FieldDefs().Items(i);
    if (def.NativeFieldType() != '+') continue;
    const int32_t value = def.AutoIncValue();
    SetFieldValue(i, TFieldType::ftAutoInc, record, &value);
  }
}

}  // namespace dbf
