// Float, date, date-time, boolean and memo-kind field objects, and the default field
// class for each column type. The texts are the same on every locale, since the
// command-line tool exports them for spreadsheets.
#include "DbfForeignFields.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "DbfErrors.h"
#include "DbfValueText.h"

namespace dbf {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
// Beyond this many characters the fixed form is longer than any N column could hold.
constexpr size_t kLongestFixedText = 20;

std::string Trimmed(const std::string& text) { return std::string(TrimControlCharacters(text)); }

std::string FloatText(double value) {
  char text[400];
  auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  if (static_cast<size_t>(result.ptr - text) <= kLongestFixedText) return {text, result.ptr};
  result = std::to_chars(text, text + sizeof text, value);
  return {text, result.ptr};
}

bool ParseFloat(const std::string& text, double& value) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  const auto result = std::from_chars(first, last, value);
  return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

// Reads exactly `count` digits at `pos` of `text`.
bool ReadDigits(const std::string& text, size_t pos, size_t count, int& number) {
  if (pos + count > text.size()) return false;
  number = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    number = number * 10 + (text[i] - '0');
  }
  return true;
}

// yyyy-mm-dd or yyyymmdd at the start of `text`; `length` receives the characters used.
int32_t ParseDate(const std::string& text, size_t& length) {
  const bool dashed = text.size() >= 10 && text[4] == '-' && text[7] == '-';
  int year = 0, month = 0, day = 0;
  const bool digits =
      dashed ? ReadDigits(text, 0, 4, year) && ReadDigits(text, 5, 2, month) && ReadDigits(text, 8, 2, day)
             : ReadDigits(text, 0, 4, year) && ReadDigits(text, 4, 2, month) && ReadDigits(text, 6, 2, day);
  length = dashed ? 10 : 8;
  return digits ? DayNumberOf(year, month, day) : 0;
}

// " hh:mm" or " hh:mm:ss" as milliseconds; -1 when malformed.
double ParseTime(const std::string& text) {
  int hour = 0, minute = 0, second = 0;
  const bool with_seconds = text.size() == 9 && text[6] == ':';
  if (text.size() != 6 && !with_seconds) return -1;
  if (text[0] != ' ' || text[3] != ':' || !ReadDigits(text, 1, 2, hour) || !ReadDigits(text, 4, 2, minute) ||
      (with_seconds && !ReadDigits(text, 7, 2, second))) {
    return -1;
  }
  if (hour > 23 || minute > 59 || second > 59) return -1;
  return ((hour * 60.0 + minute) * 60.0 + second) * 1000.0;
}

// yyyy-mm-dd; the empty text for day numbers before year 1.
std::string DateText(int32_t day_number) {
  if (day_number < 1) return "";
  const TCalendarDate date = DateOfDayNumber(day_number);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(date.year), date.month, date.day);
  return text;
}

[[noreturn]] void InvalidValueError(const std::string& text, const char* kind, const std::string& field_name) {
  throw EDatabaseError("'" + text + "' is not a valid " + kind + " value for field '" + field_name + "'");
}

}  // namespace

bool TFloatField::IsValidChar(char32_t character) const {
  return character == '+' || character == '-' || character == '.' || character == 'e' || character == 'E' ||
         (character >= '0' && character <= '9');
}

double TFloatField::readFloat() const { return GetValue<double>(TFieldType::ftFloat); }

void TFloatField::writeFloat(double value) { SetData(TFieldType::ftFloat, &value); }

std::string TFloatField::readString() const {
  if (isNull()) return "";
  return FloatText(readFloat());
}

void TFloatField::writeString(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  if (ClearIfBlank(trimmed)) return;
  double value = 0;
  if (!ParseFloat(trimmed, value)) InvalidValueError(text, "floating point", DisplayName());
  writeFloat(value);
}

int32_t TFloatField::readInteger() const {
  const double rounded = std::round(readFloat());
  if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) AccessError("Integer");
  return static_cast<int32_t>(rounded);
}

int32_t TDateField::readDayNumber() const { return GetValue<int32_t>(TFieldType::ftDate); }

void TDateField::writeDayNumber(int32_t day_number) { SetData(TFieldType::ftDate, &day_number); }

std::string TDateField::readString() const { return DateText(readDayNumber()); }

void TDateField::writeString(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  if (ClearIfBlank(trimmed)) return;
  size_t length = 0;
  const int32_t day_number = ParseDate(trimmed, length);
  if (day_number == 0 || length != trimmed.size()) InvalidValueError(text, "date", DisplayName());
  writeDayNumber(day_number);
}

double TDateTimeField::readMilliseconds() const { return GetValue<double>(TFieldType::ftDateTime); }

void TDateTimeField::writeMilliseconds(double milliseconds) { SetData(TFieldType::ftDateTime, &milliseconds); }

std::string TDateTimeField::readString() const {
  if (isNull()) return "";
  const double milliseconds = readMilliseconds();
  const double day_number = std::floor(milliseconds / kMillisecondsPerDay);
  if (!(day_number >= 1 && day_number <= INT32_MAX)) return "";
  const auto seconds = static_cast<int>((milliseconds - day_number * kMillisecondsPerDay) / 1000);
  char time[32];
  std::snprintf(time, sizeof time, " %02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return DateText(static_cast<int32_t>(day_number)) + time;
}

void TDateTimeField::writeString(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  if (ClearIfBlank(trimmed)) return;
  size_t length = 0;
  const int32_t day_number = ParseDate(trimmed, length);
  // A text shorter than a date has no time part to parse (and is refused below).
  const double time = length >= trimmed.size() ? 0 : ParseTime(trimmed.substr(length));
  if (day_number == 0 || length != 10 || time < 0) {
    InvalidValueError(text, "date and time", DisplayName());
  }
  writeMilliseconds(day_number * kMillisecondsPerDay + time);
}

bool TBooleanField::readBoolean() const { return GetValue<int16_t>(TFieldType::ftBoolean) != 0; }

void TBooleanField::writeBoolean(bool value) {
  const int16_t stored = value ? 1 : 0;
  SetData(TFieldType::ftBoolean, &stored);
}

std::string TBooleanField::readString() const {
  if (isNull()) return "";
  return readBoolean() ? "T" : "F";
}

void TBooleanField::writeString(const std::string& text) {
  const std::string trimmed = Trimmed(text);
  if (ClearIfBlank(trimmed)) return;
  switch (trimmed[0]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
      writeBoolean(true);
      return;
    case 'F':
    case 'f':
    case 'N':
    case 'n':
      writeBoolean(false);
      return;
    default:
      InvalidValueError(text, "boolean", DisplayName());
  }
}

TBlobField::TBlobField(TFieldType data_type, const char* kind)
    : TField(data_type, 0, TAlignment::taLeftJustify), kind_(kind) {}

std::string TBlobField::displayText() const {
  if (!isNull()) return "(" + kind_ + ")";
  std::string lower = kind_;
  for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
  return "(" + lower + ")";
}

std::unique_ptr<TField> CreateDefaultField(TFieldType type, int32_t size) {
  switch (type) {
    case TFieldType::ftString: {
      auto field = std::make_unique<TStringField>();
      field->SetSize(size);
      return field;
    }
    case TFieldType::ftSmallint:
      return std::make_unique<TSmallintField>();
    case TFieldType::ftInteger:
      return std::make_unique<TIntegerField>();
    case TFieldType::ftLargeint:
      return std::make_unique<TLargeintField>();
    case TFieldType::ftAutoInc:
      return std::make_unique<TAutoIncField>();
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:  // FoxPro's currency, read as the number it stands for
      return std::make_unique<TFloatField>();
    case TFieldType::ftDate:
      return std::make_unique<TDateField>();
    case TFieldType::ftDateTime:
      return std::make_unique<TDateTimeField>();
    case TFieldType::ftBoolean:
      return std::make_unique<TBooleanField>();
    case TFieldType::ftMemo:
      return std::make_unique<TMemoField>();
    case TFieldType::ftBlob:
      return std::make_unique<TBlobField>();
    case TFieldType::ftGraphic:
      return std::make_unique<TGraphicField>();
    default:
      return nullptr;
  }
}

}  // namespace dbf
