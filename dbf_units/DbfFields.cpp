// The base field object and the string and integer classes: conversions between the
// program's values and the dataset's column data, range checks and their messages.
#include "DbfFields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "DbfCodePage.h"
#include "DbfErrors.h"

namespace dbf {

namespace {

// Limits and values in range messages: a general number format with enough digits that
// every 32-bit integer is shown whole.
std::string FormatNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

[[noreturn]] void RangeError(double value, double low, double high, const std::string& name) {
  throw EDatabaseError(FormatNumber(value) + " is not a valid value for field '" + name + "'. The allowed range is " +
                       FormatNumber(low) + " to " + FormatNumber(high));
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Consumes a "$", "0x" or "0X" prefix; returns the radix of the digits that follow.
int ConsumeRadixPrefix(const std::string& text, size_t& pos) {
  if (pos < text.size() && text[pos] == '$') {
    ++pos;
    return 16;
  }
  if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    pos += 2;
    return 16;
  }
  return 10;
}

}  // namespace

bool ParseIntegerText(const std::string& text, int64_t& value) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  const int radix = ConsumeRadixPrefix(text, pos);
  if (pos == text.size()) return false;
  // Accumulate as a negative number so that INT64_MIN parses without overflow.
  int64_t accumulated = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = DigitValue(text[pos]);
    if (digit < 0 || digit >= radix) return false;
    if (accumulated < (std::numeric_limits<int64_t>::min() + digit) / radix) return false;
    accumulated = accumulated * radix - digit;
  }
  if (!negative && accumulated == std::numeric_limits<int64_t>::min()) return false;
  value = negative ? accumulated : -accumulated;
  return true;
}

const TTableCodePage& TFieldDataSet::CodePage() const {
  static const TTableCodePage code_page;
  return code_page;
}

TField::TField(TFieldType data_type, int32_t size, TAlignment alignment)
    : data_type_(data_type), size_(size), alignment_(alignment) {}

void TField::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (dataset_ != nullptr) dataset_->FieldLayoutChanged(*this);
}

void TField::SetDisplayLabel(const std::string& label) {
  if (display_label_ == label) return;
  display_label_ = label;
  if (dataset_ != nullptr) dataset_->FieldLayoutChanged(*this);
}

const std::string& TField::DisplayName() const { return display_label_.empty() ? field_name_ : display_label_; }

bool TField::CanModify() const { return field_no_ > 0 && !read_only_ && dataset_ != nullptr && dataset_->CanModify(); }

std::string_view TField::readStringView(std::string& storage) const {
  storage = readString();
  return storage;
}

void TField::readStringInto(std::string& text) const {
  const std::string_view view = readStringView(text);
  if (view.data() != text.data() || view.size() != text.size()) text.assign(view);
}

TFieldDataSet& TField::RequireDataSet() const {
  if (dataset_ == nullptr) throw EDatabaseError("Field '" + DisplayName() + "' has no dataset");
  return *dataset_;
}

bool TField::GetData(TFieldType type, void* dest) const { return RequireDataSet().GetFieldData(*this, type, dest); }

void TField::SetData(TFieldType type, const void* source) { RequireDataSet().SetFieldData(*this, type, source); }

void TField::AccessError(const char* type_name) const {
  throw EDatabaseError("Cannot access field '" + DisplayName() + "' as type " + type_name);
}

int64_t TField::IntegerOfText(const std::string& text, int64_t low, int64_t high) const {
  int64_t value = 0;
  if (!ParseIntegerText(text, value) || value < low || value > high) {
    throw EDatabaseError("'" + text + "' is not a valid integer value for field '" + DisplayName() + "'");
  }
  return value;
}

bool TField::isNull() const { return !GetData(data_type_, nullptr); }

std::string TField::readString() const { AccessError("String"); }
void TField::writeString(const std::string&) { AccessError("String"); }
int32_t TField::readInteger() const { AccessError("Integer"); }
void TField::writeInteger(int32_t) { AccessError("Integer"); }

void TField::clearValue() { SetData(data_type_, nullptr); }

bool TField::ClearIfBlank(const std::string& trimmed_text) {
  if (!trimmed_text.empty()) return false;
  clearValue();
  return true;
}

std::string TStringField::readString() const {
  std::string text;
  readStringInto(text);
  return text;
}

// ASCII reads the same in every code page of a table: the column's bytes are the text.
std::string_view TStringField::readStringView(std::string& storage) const {
  const auto text_of = [&](std::string_view bytes, bool ascii) -> std::string_view {
    if (ascii || !transliterate_) return bytes;
    RequireDataSet().CodePage().Decode(bytes, storage);
    return storage;
  };
  TFieldText column;
  if (GetText(column)) return text_of(column.bytes, column.ascii);
  // A dataset that shows no text of its own: the value, in a string of this call.
  std::string stored;
  GetData(TFieldType::ftString, &stored);
  const std::string_view text = text_of(stored, IsAscii(stored));
  if (text.data() != stored.data()) return text;
  storage.swap(stored);
  return storage;
}

void TStringField::writeString(const std::string& text) {
  const auto size = static_cast<size_t>(std::max<int32_t>(Size(), 0));
  // An ASCII text that fits needs neither cutting nor conversion: stored without a copy.
  if (text.size() <= size && IsAscii(text)) {
    SetData(TFieldType::ftString, &text);
    return;
  }
  const std::string cut = Utf8Left(text, size);
  const std::string stored = transliterate_ ? RequireDataSet().CodePage().Encode(cut, size, DisplayName()) : cut;
  SetData(TFieldType::ftString, &stored);
}

int32_t TStringField::readInteger() const {
  const std::string text = readString();
  if (text.empty()) return 0;
  return static_cast<int32_t>(IntegerOfText(text, INT32_MIN, INT32_MAX));
}

void TStringField::writeInteger(int32_t value) { writeString(std::to_string(value)); }

namespace {

bool IsSignOrDigit(char32_t character) {
  return character == '+' || character == '-' || (character >= '0' && character <= '9');
}

}  // namespace

bool TIntegerField::IsValidChar(char32_t character) const { return IsSignOrDigit(character); }

std::string TIntegerField::readString() const {
  std::string text;
  readStringInto(text);
  return text;
}

// A column written as the value's own decimal text (no sign but '-', no leading zero, no
// more digits than every value of the class has) is the text as it stands.
std::string_view TIntegerField::readStringView(std::string& storage) const {
  TFieldText column;
  const size_t plain_digits = DataType() == TFieldType::ftSmallint ? 4 : 9;
  if (GetText(column) && IsPlainDecimal(column.bytes, plain_digits)) return column.bytes;
  int32_t value = 0;
  if (!ReadValue(value)) return {};
  char digits[16];
  storage.assign(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  return storage;
}

void TIntegerField::writeString(const std::string& text) {
  if (ClearIfBlank(text)) return;
  writeInteger(static_cast<int32_t>(IntegerOfText(text, INT32_MIN, INT32_MAX)));
}

int32_t TIntegerField::readInteger() const {
  int32_t value = 0;
  ReadValue(value);
  return value;
}

// Small and autoincrement fields may be bound to any integer column, text or binary; the
// 32-bit layout is the one every integer letter decodes and encodes. A text column's
// digits are read straight from its bytes, as the table file converts them.
bool TIntegerField::ReadValue(int32_t& value) const {
  int32_t wide = 0;
  TFieldText column;
  bool present;
  if (GetText(column)) {
    present = !column.bytes.empty();
    wide = static_cast<int32_t>(IntegerOr(column.bytes, INT32_MIN, INT32_MAX, 0));
  } else {
    present = GetData(TFieldType::ftInteger, &wide);
  }
  value = DataType() == TFieldType::ftSmallint ? static_cast<int16_t>(wide) : wide;
  return present;
}

void TIntegerField::writeInteger(int32_t value) {
  // An own range never reaches past the class range: a 16-bit value must not wrap.
  const bool own_range = min_value_ != 0 || max_value_ != 0;
  const int32_t low = own_range ? std::max(min_value_, ClassMin()) : ClassMin();
  const int32_t high = own_range ? std::min(max_value_, ClassMax()) : ClassMax();
  if (value < low || value > high) RangeError(value, low, high, DisplayName());
  SetData(TFieldType::ftInteger, &value);
}

int64_t TLargeintField::readLargeint() const { return GetValue<int64_t>(TFieldType::ftLargeint); }

void TLargeintField::writeLargeint(int64_t value) { SetData(TFieldType::ftLargeint, &value); }

bool TLargeintField::IsValidChar(char32_t character) const { return IsSignOrDigit(character); }

std::string TLargeintField::readString() const {
  if (isNull()) return "";
  return std::to_string(readLargeint());
}

void TLargeintField::writeString(const std::string& text) {
  if (ClearIfBlank(text)) return;
  writeLargeint(IntegerOfText(text, INT64_MIN, INT64_MAX));
}

int32_t TLargeintField::readInteger() const {
  const int64_t value = readLargeint();
  if (value < INT32_MIN || value > INT32_MAX) AccessError("Integer");
  return static_cast<int32_t>(value);
}

}  // namespace dbf
