// The text forms of field values in table records: trimming, locale-independent number
// parsing and formatting, and the calendar arithmetic of day numbers (1 January of the
// year 1 is day 1, proleptic Gregorian calendar).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "DbfCodePage.h"

namespace dbf {

struct TCalendarDate {
  int64_t year;
  int month;
  int day;
};

// Without every character of code 0x20 or below (spaces, control characters, zero bytes)
// at both ends. Inline, as every read of a field trims its bytes.
inline std::string_view TrimControlCharacters(std::string_view text) {
  const auto control_or_space = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  // Text fields mostly end in long runs of blanks; trimmed byte by byte, they cost a full
  // scan more than reading its records.
  constexpr uint64_t kEightBlanks = 0x2020202020202020;
  uint64_t tail = 0;
  while (text.size() >= sizeof tail) {
    std::memcpy(&tail, text.data() + text.size() - sizeof tail, sizeof tail);
    if (tail != kEightBlanks) break;
    text.remove_suffix(sizeof tail);
  }
  while (!text.empty() && control_or_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && control_or_space(text.back())) text.remove_suffix(1);
  return text;
}

// The text of a column as a text letter holds it: its bytes trimmed as above, and whether
// they are all ASCII (then they read the same in code page 852 and UTF-8).
struct TFieldText {
  std::string_view bytes;
  bool ascii = true;
};
// Trims and tests in one walk: the blanks at the ends are looked at by the trim, the bytes
// between them by the ASCII test, each byte once. (Filled member by member: a whole
// TFieldText built and copied makes the processor wait for the copy on every field.)
inline void TrimFieldText(std::string_view bytes, TFieldText& text) {
  text.bytes = TrimControlCharacters(bytes);
  text.ascii = IsAscii(text.bytes);
}

// Whether the text is an integer written the way its value reads back as text: an
// optional '-', then 1 to `most_digits` digits without a leading zero ("0" itself, not "-0").
bool IsPlainDecimal(std::string_view text, size_t most_digits);

// The text as a signed integer in [min, max]: an optional sign and decimal digits, with
// surrounding spaces allowed. Anything else, or a value out of range, gives `fallback`.
int64_t IntegerOr(std::string_view text, int64_t min, int64_t max, int64_t fallback);

// The text as a finite floating-point number with '.' as the decimal point, whatever the
// locale; anything else gives 0.
double FloatOrZero(std::string_view text);

// `value` in fixed-point form with exactly `decimals` digits after '.', rounded to at most
// `significant_digits` significant digits; in exponent form when its integer part has
// more digits than that. No thousands separators, '-' only before a non-zero result.
std::string FormatFloat(double value, int decimals, int significant_digits);

// The day number of a date, 0 when year, month and day form no valid date in the years
// 1 to 9999.
int32_t DayNumberOf(int64_t year, int month, int day);
TCalendarDate DateOfDayNumber(int32_t day_number);

// A date field's trimmed text "yyyymmdd" as a day number: missing or unreadable day and
// month parts count as 1, the year as 0; a year of one or two digits falls into the 50
// years before and after `current_year`. An impossible date gives 0.
int32_t DayNumberOfDateText(std::string_view text, int current_year);
// "yyyymmdd" of a day number.
std::string DateTextOfDayNumber(int32_t day_number);

// Today's date in the local time zone.
TCalendarDate LocalToday();

}  // namespace dbf
