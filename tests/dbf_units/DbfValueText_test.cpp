// Text forms of values: trimming, numbers with '.' in any locale, and day numbers.
#include "DbfValueText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <tuple>

namespace dbf {
namespace {

TEST(DbfValueText, TrimmingRemovesSpacesControlsAndZerosAtBothEnds) {
  EXPECT_EQ(TrimControlCharacters(std::string_view("  \0Nov\xA0k \t\r\0", 12)), "Nov\xA0k");
  EXPECT_EQ(TrimControlCharacters("a b"), "a b");
  EXPECT_EQ(TrimControlCharacters(std::string_view(" \0 \0", 4)), "");
  EXPECT_EQ(TrimControlCharacters("\xFF"), "\xFF");  // bytes above 0x7F are characters
}

TEST(DbfValueText, FieldTextIsTrimmedAndToldAsciiOrNot) {
  struct TCase {
    std::string_view bytes;
    std::string_view text;
    bool ascii;
  };
  for (const TCase& c : {TCase{std::string_view("  Nov\x83k  \0", 11), "Nov\x83k", false},
                         TCase{"Novak                         ", "Novak", true}, TCase{"\x80        ", "\x80", false},
                         TCase{"   12", "12", true}, TCase{"", "", true}}) {
    SCOPED_TRACE(c.bytes);
    TFieldText text;
    TrimFieldText(c.bytes, text);
    EXPECT_EQ(text.bytes, c.text);
    EXPECT_EQ(text.ascii, c.ascii);
  }
}

// Plain decimals are the texts an integer's value reads back as, within a width every
// value of the class has.
TEST(DbfValueText, PlainDecimalsAreTheirValuesOwnText) {
  for (const char* text : {"0", "7", "-7", "1234", "-9999"}) EXPECT_TRUE(IsPlainDecimal(text, 4)) << text;
  for (const char* text : {"", "-", "-0", "007", "+7", "12345", "1 2", "1a", " 7"}) {
    EXPECT_FALSE(IsPlainDecimal(text, 4)) << text;
  }
}

TEST(DbfValueText, IntegersReadWithinTheirWidthOrFallBack) {
  EXPECT_EQ(IntegerOr("42", INT16_MIN, INT16_MAX, -1), 42);
  EXPECT_EQ(IntegerOr("  -7 ", INT16_MIN, INT16_MAX, -1), -7);
  EXPECT_EQ(IntegerOr("+5", INT16_MIN, INT16_MAX, -1), 5);
  EXPECT_EQ(IntegerOr("32768", INT16_MIN, INT16_MAX, -1), -1);
  EXPECT_EQ(IntegerOr("9223372036854775807", INT64_MIN, INT64_MAX, -1), INT64_MAX);
  EXPECT_EQ(IntegerOr("9223372036854775808", INT64_MIN, INT64_MAX, -1), -1);
  for (const char* text : {"", "1x", "1 2", "--1", "+-1", "1.0", "0x10", "+"}) {
    EXPECT_EQ(IntegerOr(text, INT32_MIN, INT32_MAX, -1), -1) << text;
  }
}

TEST(DbfValueText, FloatsReadWithAPointInAnyLocale) {
  const bool czech = std::setlocale(LC_ALL, "cs_CZ.UTF-8") != nullptr;
  EXPECT_DOUBLE_EQ(FloatOrZero("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(FloatOrZero("-0.01"), -0.01);
  EXPECT_DOUBLE_EQ(FloatOrZero("+3"), 3.0);
  EXPECT_DOUBLE_EQ(FloatOrZero("1e5"), 100000.0);
  EXPECT_EQ(FormatFloat(1.5, 1, 8), "1.5");
  for (const char* text : {"abc", "1,5", "1.5.1", "inf", "nan", "1e999", "12 3"}) {
    EXPECT_EQ(FloatOrZero(text), 0.0) << text;
  }
  if (czech) std::setlocale(LC_ALL, "C");
}

TEST(DbfValueText, FloatsAreWrittenWithTheirDecimalsAndAtMostTheirSignificantDigits) {
  EXPECT_EQ(FormatFloat(3.14159, 2, 8), "3.14");
  EXPECT_EQ(FormatFloat(12345.678, 2, 8), "12345.68");
  EXPECT_EQ(FormatFloat(12345.678, 2, 6), "12345.70");
  EXPECT_EQ(FormatFloat(1.23456789, 5, 3), "1.23000");
  EXPECT_EQ(FormatFloat(0.006, 2, 10), "0.01");
  EXPECT_EQ(FormatFloat(0.004, 2, 10), "0.00");
  EXPECT_EQ(FormatFloat(-0.001, 2, 10), "0.00");
  EXPECT_EQ(FormatFloat(-2.5, 1, 5), "-2.5");
  EXPECT_EQ(FormatFloat(0.125, 2, 8), "0.13");  // halves round away from zero, as written
  EXPECT_EQ(FormatFloat(-2.5, 0, 5), "-3");
  EXPECT_EQ(FormatFloat(1.005, 2, 8), "1.01");
  EXPECT_EQ(FormatFloat(0.000123456, 8, 3), "0.00012300");
  EXPECT_EQ(FormatFloat(42, 0, 5), "42");
  EXPECT_EQ(FormatFloat(1e15, 0, 20), "1000000000000000");
  EXPECT_EQ(FormatFloat(123456, 0, 5), "1.2346e+05");
  EXPECT_EQ(FormatFloat(99999.9, 1, 5), "1.0000e+05");  // rounding carries past five digits
  EXPECT_EQ(FormatFloat(-1e300, 2, 8), "-1.0000000e+300");
}

TEST(DbfValueText, DayNumbersCountFromTheFirstOfJanuaryOfYearOne) {
  EXPECT_EQ(DayNumberOf(1, 1, 1), 1);
  EXPECT_EQ(DayNumberOf(1899, 12, 30), 693594);
  EXPECT_EQ(DayNumberOf(1970, 1, 1), 719163);
  EXPECT_EQ(DayNumberOf(9999, 12, 31), 3652059);
  EXPECT_EQ(DayNumberOf(2024, 3, 1) - DayNumberOf(2024, 2, 28), 2);
  EXPECT_EQ(DayNumberOf(1900, 3, 1) - DayNumberOf(1900, 2, 28), 1);
  const std::tuple<int, int, int> impossible[] = {{2023, 2, 29}, {0, 1, 1},     {10000, 1, 1}, {2024, 13, 1},
                                                  {2024, 0, 1},  {2024, 4, 31}, {-5, 1, 1}};
  for (const auto& [year, month, day] : impossible) {
    EXPECT_EQ(DayNumberOf(year, month, day), 0) << year << "-" << month << "-" << day;
  }
  for (int32_t day_number = 1; day_number <= 3652059; day_number += 997) {
    const TCalendarDate date = DateOfDayNumber(day_number);
    ASSERT_EQ(DayNumberOf(date.year, date.month, date.day), day_number);
  }
}

TEST(DbfValueText, DateTextsReadWithDefaultsAndTheCenturyWindow) {
  EXPECT_EQ(DayNumberOfDateText("20240229", 2026), DayNumberOf(2024, 2, 29));
  EXPECT_EQ(DayNumberOfDateText("20230229", 2026), 0);
  EXPECT_EQ(DayNumberOfDateText("2024", 2026), DayNumberOf(2024, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("202400", 2026), DayNumberOf(2024, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("2024xx15", 2026), DayNumberOf(2024, 1, 15));
  EXPECT_EQ(DayNumberOfDateText("5", 2026), DayNumberOf(2005, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("75", 2026), DayNumberOf(2075, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("76", 2026), DayNumberOf(1976, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("99", 2026), DayNumberOf(1999, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("76", 2030), DayNumberOf(2076, 1, 1));
  EXPECT_EQ(DayNumberOfDateText("0076", 2026), DayNumberOf(76, 1, 1));  // four digits: no window
  EXPECT_EQ(DayNumberOfDateText("00000000", 2026), 0);
  EXPECT_EQ(DayNumberOfDateText("abcdefgh", 2026), 0);
}

TEST(DbfValueText, DateTextsAreWrittenAsYearMonthDay) {
  EXPECT_EQ(DateTextOfDayNumber(DayNumberOf(2024, 2, 29)), "20240229");
  EXPECT_EQ(DateTextOfDayNumber(1), "00010101");
  EXPECT_EQ(DateTextOfDayNumber(0), "00001231");
  const TCalendarDate today = LocalToday();
  EXPECT_NE(DayNumberOf(today.year, today.month, today.day), 0);
}

}  // namespace
}  // namespace dbf
