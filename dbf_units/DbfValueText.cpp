// Text forms of field values: trimming, parsing and formatting of numbers with '.' in any
// locale, and day numbers of the proleptic Gregorian calendar.
#include "DbfValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace dbf {

namespace {

// Day number of 1 January 1970, the epoch of the civil-date arithmetic below.
constexpr int64_t kDayNumberOf1970 = 719163;

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
  const int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
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

// A non-negative number as decimal digits d1 d2 d3 ... meaning d1.d2d3... x 10^exponent.
struct TDecimalDigits {
  std::string digits;
  int exponent;
};

// The shortest digits that read back as the same double: the value as the user sees it,
// so that 0.125 and 1.005 round the way they are written.
TDecimalDigits ShortestDigits(double magnitude) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  const std::string text(buffer, result.ptr);
  const size_t exponent_at = text.find('e');
  std::string digits = text.substr(0, exponent_at);
  if (digits.size() > 1) digits.erase(1, 1);  // the '.' after the first digit
  return {digits, std::stoi(text.substr(exponent_at + 1))};
}

// Keeps the first `keep` digits, rounding half away from zero; no digits left means 0.
void RoundToDigits(TDecimalDigits& number, int keep) {
  if (keep >= static_cast<int>(number.digits.size())) return;
  const bool up = keep >= 0 && number.digits[static_cast<size_t>(keep)] >= '5';
  number.digits.resize(static_cast<size_t>(std::max(keep, 0)));
  if (!up) return;
  int i = keep - 1;
  while (i >= 0 && number.digits[static_cast<size_t>(i)] == '9') number.digits[static_cast<size_t>(i--)] = '0';
  if (i >= 0) {
    ++number.digits[static_cast<size_t>(i)];
  } else {
    number.digits.insert(number.digits.begin(), '1');
    ++number.exponent;
  }
}

bool IsZero(const TDecimalDigits& number) { return number.digits.find_first_not_of('0') == std::string::npos; }

// The digit whose place value is 10^place; '0' outside the digits.
char DigitAtPlace(const TDecimalDigits& number, int place) {
  const int index = number.exponent - place;
  return index >= 0 && index < static_cast<int>(number.digits.size()) ? number.digits[static_cast<size_t>(index)] : '0';
}

std::string FixedText(const TDecimalDigits& number, int decimals) {
  std::string text;
  for (int place = std::max(number.exponent, 0); place >= 0; --place) text += DigitAtPlace(number, place);
  if (decimals > 0) text += '.';
  for (int place = -1; place >= -decimals; --place) text += DigitAtPlace(number, place);
  return text;
}

// d.ddd...e+XX with `significant` digits in all.
std::string ExponentText(TDecimalDigits number, int significant) {
  RoundToDigits(number, significant);
  number.digits.resize(static_cast<size_t>(significant), '0');
  std::string text = number.digits.substr(0, 1);
  if (significant > 1) text.append(".").append(number.digits, 1);
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "e%c%02d", number.exponent < 0 ? '-' : '+', std::abs(number.exponent));
  return text + exponent;
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

bool IsPlainDecimal(std::string_view text, size_t most_digits) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > most_digits) return false;
  if (text.front() == '0') return text.size() == 1 && !negative;
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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
  if (!std::isfinite(value)) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
  }
  TDecimalDigits number = ShortestDigits(std::fabs(value));
  const TDecimalDigits unrounded = number;
  RoundToDigits(number, std::min(significant_digits, number.exponent + 1 + decimals));
  std::string text = number.exponent + 1 > significant_digits ? ExponentText(unrounded, significant_digits)
                                                              : FixedText(number, decimals);
  return std::signbit(value) && !IsZero(number) ? "-" + text : text;
}

int32_t DayNumberOf(int64_t year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return 0;
  if (day < 1 || day > DaysInMonth(year, month)) return 0;
  return static_cast<int32_t>(DaysFromCivil(year, month, day) + kDayNumberOf1970);
}

TCalendarDate DateOfDayNumber(int32_t day_number) { return CivilFromDays(int64_t{day_number} - kDayNumberOf1970); }

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
  std::snprintf(text, sizeof text, "%04lld%02d%02d", static_cast<long long>(date.year), date.month, date.day);
  return text;
}

TCalendarDate LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace dbf
