// Text forms of field values: trimming, parsing and formatting of numbers with '.' in any
// locale, and day numbers of the proleptic Gregorian calendar.
#include "DbfValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace dbf {

namespace {

// Day number of 1 January 1970, the epoch of the civil-date arithmetic below.
constexpr int64_t kDayNumberOf1970 = 719163;

bool IsControlOrSpace(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Days from 1 January 1970 to the date (negative before it), for any year.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

TCalendarDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_from_march = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
  const int month = static_cast<int>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
  return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// std::from_chars takes no leading '+'; the texts of other dBase programs may have one.
std::string_view WithoutPlusSign(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

std::string ToChars(double value, std::chars_format format, int precision) {
  char buffer[512];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}

// Digits of a fixed-point text before '.', not counting a lone leading zero.
int IntegerDigits(const std::string& fixed) {
  const size_t point = fixed.find('.');
  const size_t length = point == std::string::npos ? fixed.size() : point;
  return (length == 1 && fixed[0] == '0') ? 0 : static_cast<int>(length);
}

// Digits of a fixed-point text from its first non-zero digit on.
int SignificantDigits(const std::string& fixed) {
  const size_t first = fixed.find_first_of("123456789");
  if (first == std::string::npos) return 0;
  int digits = 0;
  for (size_t i = first; i < fixed.size(); ++i) digits += fixed[i] != '.' ? 1 : 0;
  return digits;
}

// `magnitude` rounded to `significant` digits and laid out with `decimals` decimals; the
// places below the significant digits are zeros. Exponent form when rounding has carried
// into one integer digit more than `significant`.
std::string RoundedFixed(double magnitude, int decimals, int significant) {
  const std::string scientific = ToChars(magnitude, std::chars_format::scientific, significant - 1);
  const size_t exponent_at = scientific.find('e');
  const int exponent = std::stoi(scientific.substr(exponent_at + 1));
  if (exponent + 1 > significant) return scientific;
  std::string digits = scientific.substr(0, exponent_at);
  if (digits.size() > 1) digits.erase(1, 1);  // the '.' after the first digit
  std::string integer = "0";
  std::string fraction;
  if (exponent >= 0) {
    integer = digits.substr(0, static_cast<size_t>(exponent) + 1);
    fraction = digits.substr(static_cast<size_t>(exponent) + 1);
  } else {
    fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  }
  fraction.resize(static_cast<size_t>(decimals), '0');
  return decimals > 0 ? integer + "." + fraction : integer;
}

int WindowedYear(int64_t year, int current_year) {
  const int base = current_year - 50;
  int64_t windowed = (base / 100) * 100 + year;
  if (windowed < base) windowed += 100;
  return static_cast<int>(windowed);
}

// Characters `first` (counting from 1) to `first + count - 1` of the text; fewer or none
// where the text is shorter.
std::string_view Characters(std::string_view text, size_t first, size_t count) {
  if (first - 1 >= text.size()) return {};
  return text.substr(first - 1, count);
}

}  // namespace

std::string_view TrimControlCharacters(std::string_view text) {
  while (!text.empty() && IsControlOrSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsControlOrSpace(text.back())) text.remove_suffix(1);
  return text;
}

int64_t IntegerOr(std::string_view text, int64_t min, int64_t max, int64_t fallback) {
  text = WithoutPlusSign(TrimControlCharacters(text));
  int64_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool whole = result.ec == std::errc() && result.ptr == text.data() + text.size();
  return whole && value >= min && value <= max ? value : fallback;
}

double FloatOrZero(std::string_view text) {
  text = WithoutPlusSign(text);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool whole = result.ec == std::errc() && result.ptr == text.data() + text.size();
  return whole && std::isfinite(value) ? value : 0.0;
}

std::string FormatFloat(double value, int decimals, int significant_digits) {
  // Beyond these no double carries information; the caps keep the texts bounded.
  decimals = std::min(std::max(decimals, 0), 60);
  significant_digits = std::min(std::max(significant_digits, 1), 40);
  if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, 6);
  const double magnitude = std::fabs(value);
  std::string text = ToChars(magnitude, std::chars_format::fixed, decimals);
  if (IntegerDigits(text) > significant_digits) {
    text = ToChars(magnitude, std::chars_format::scientific, significant_digits - 1);
  } else if (SignificantDigits(text) > significant_digits) {
    text = RoundedFixed(magnitude, decimals, significant_digits);
  }
  const bool zero = text.find_first_of("123456789") == std::string::npos;
  return std::signbit(value) && !zero ? "-" + text : text;
}

int32_t DayNumberOf(int64_t year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return 0;
  if (day < 1 || day > DaysInMonth(year, month)) return 0;
  return static_cast<int32_t>(DaysFromCivil(year, month, day) + kDayNumberOf1970);
}

TCalendarDate DateOfDayNumber(int32_t day_number) {
  return CivilFromDays(int64_t{day_number} - kDayNumberOf1970);
}

int32_t DayNumberOfDateText(std::string_view text, int current_year) {
  const std::string_view year_text = Characters(text, 1, 4);
  int day = static_cast<int>(IntegerOr(Characters(text, 7, 2), -99, 99, 1));
  int month = static_cast<int>(IntegerOr(Characters(text, 5, 2), -99, 99, 1));
  int64_t year = IntegerOr(year_text, -999, 9999, 0);
  if (day == 0) day = 1;
  if (month == 0) month = 1;
  const size_t year_digits = TrimControlCharacters(year_text).size();
  if (year < 100 && (year_digits == 1 || year_digits == 2)) year = WindowedYear(year, current_year);
  return DayNumberOf(year, month, day);
}

std::string DateTextOfDayNumber(int32_t day_number) {
  const TCalendarDate date = DateOfDayNumber(day_number);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld%02d%02d", static_cast<long long>(date.year),
                date.month, date.day);
  return text;
}

TCalendarDate LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace dbf
