// Field values in record buffers: text letters with trimming, numbers, booleans and
// dates, the big-endian binary letters, and fields that reach past a damaged record.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "DbfValueText.h"
#include "FileLayerTestSupport.h"
#include "UDbfFile.h"

namespace dbf {
namespace {

using filetest::TBytes;
using filetest::TNoticeCapture;
using filetest::TRawField;
using filetest::TRawTable;
using filetest::TScratchFolder;

// A table of the given fields opened read-only, and a record buffer of its length whose
// bytes can be set field by field.
class TFieldValues : public ::testing::Test {
 protected:
  void Open(const std::vector<TRawField>& fields, std::optional<uint16_t> record_length = {}) {
    TRawTable raw{0x03, fields};
    raw.record_length = record_length;
    filetest::WriteFileBytes(folder_ / "values.dbf", raw.Bytes());
    const TNoticeCapture quiet;
    table_ = std::make_unique<TDbfFile>(folder_ / "values.dbf", TOpenOptions{.read_only = true});
    record_.assign(static_cast<size_t>(table_->RecordSize()), ' ');
  }

  void Put(int field, const std::string& bytes) {
    std::memcpy(record_.data() + table_->FieldDefs().Items(field).Offset(), bytes.data(), bytes.size());
  }
  std::string Bytes(int field) const {
    const TDbfFieldDef& def = table_->FieldDefs().Items(field);
    return std::string(record_.begin() + def.Offset(), record_.begin() + def.Offset() + def.Size());
  }

  std::optional<std::string> Text(int field) const { return Get<std::string>(field, TFieldType::ftString); }

  template <typename T>
  std::optional<T> Get(int field, TFieldType type) const {
    T value{};
    if (!table_->GetFieldValue(field, type, &value, record_.data())) return std::nullopt;
    return value;
  }

  template <typename T>
  void Set(int field, TFieldType type, T value) {
    table_->SetFieldValue(field, type, record_.data(), &value);
  }

  std::string TooLongError(int field, TFieldType type, int64_t value) {
    const TBytes before = record_;
    try {
      table_->SetFieldValue(field, type, record_.data(), &value);
    } catch (const EDbfFileError& error) {
      EXPECT_EQ(record_, before);
      return error.what();
    }
    return "(stored)";
  }

  TScratchFolder folder_;
  std::unique_ptr<TDbfFile> table_;
  TBytes record_;
};

TEST_F(TFieldValues, TextIsTrimmedOfSpacesControlsAndZerosAtBothEnds) {
  Open({{"PRIJMENI", 'C', 10}, {"MEMO", 'M', 10}, {"ODD", 'X', 4}});
  EXPECT_EQ(Text(0), std::nullopt);
  Put(0, std::string(10, '\0'));
  EXPECT_EQ(Text(0), std::nullopt);
  Put(0, std::string(" \0 \0 \0 \0 \0", 10));
  EXPECT_FALSE(table_->GetFieldValue(0, TFieldType::ftString, nullptr, record_.data()));
  Put(0, "  Nov\xA0k   ");
  EXPECT_EQ(Text(0), "Nov\xA0k");
  EXPECT_TRUE(table_->GetFieldValue(0, TFieldType::ftString, nullptr, record_.data()));
  Put(1, "        12");
  EXPECT_EQ(Text(1), "12");  // a memo field yields its block number
  Put(2, "ab  ");
  EXPECT_EQ(Text(2), "ab");  // a field without a letter is text
}

TEST_F(TFieldValues, StringsAreCutToTheFieldAndPaddedWithSpaces) {
  Open({{"JMENO", 'C', 15}, {"RC", 'C', 4}});
  Set(0, TFieldType::ftString, std::string("Jana"));
  EXPECT_EQ(Bytes(0), "Jana           ");
  Set(1, TFieldType::ftString, std::string("123456"));
  EXPECT_EQ(Bytes(1), "1234");
  Set(1, TFieldType::ftString, std::string("ab\0cd", 5));
  EXPECT_EQ(Bytes(1), "ab  ");
  table_->SetFieldValue(0, TFieldType::ftString, record_.data(), nullptr);
  EXPECT_EQ(Bytes(0), std::string(15, ' '));
  EXPECT_EQ(Text(0), std::nullopt);
}

TEST_F(TFieldValues, NumbersAreRightJustifiedAndRefusedWhenTooWide) {
  Open({{"POC_SPR", 'N', 5}, {"SUMA", 'N', 3}, {"VELKE", 'N', 12}});
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftInteger), std::nullopt);
  Put(0, "    0");
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftInteger), 0);
  Set(0, TFieldType::ftInteger, int32_t{42});
  EXPECT_EQ(Bytes(0), "   42");
  Set(0, TFieldType::ftInteger, int32_t{-7});
  EXPECT_EQ(Bytes(0), "   -7");
  Set(0, TFieldType::ftInteger, int32_t{0});
  EXPECT_EQ(Bytes(0), "    0");
  Set(1, TFieldType::ftSmallint, int16_t{-99});
  EXPECT_EQ(Get<int16_t>(1, TFieldType::ftSmallint), -99);
  Set(2, TFieldType::ftLargeint, int64_t{12345678901});
  EXPECT_EQ(Bytes(2), " 12345678901");
  EXPECT_EQ(Get<int64_t>(2, TFieldType::ftLargeint), 12345678901);

  // The documented text, then the field's and the table's names.
  EXPECT_EQ(TooLongError(0, TFieldType::ftLargeint, 123456),
            "Field data too long :6 (must be between 1 and 5). Field 'POC_SPR' of table " + folder_ / "values.dbf");
  EXPECT_EQ(TooLongError(1, TFieldType::ftLargeint, -100),
            "Field data too long :4 (must be between 1 and 3). Field 'SUMA' of table " + folder_ / "values.dbf");

  Put(0, "  abc");
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftInteger), 0);
  Put(2, "      100000");
  EXPECT_EQ(Get<int16_t>(2, TFieldType::ftSmallint), 0);  // beyond 16 bits
  EXPECT_EQ(Get<double>(2, TFieldType::ftFloat), 100000.0);
}

TEST_F(TFieldValues, FloatsUseTheirDecimalsAndAPointInAnyLocale) {
  Open({{"SUMA", 'N', 8, 2}, {"POMER", 'F', 8}, {"CENA", 'N', 5, 2}});
  Set(0, TFieldType::ftFloat, 12.5);
  EXPECT_EQ(Bytes(0), "   12.50");
  EXPECT_EQ(Get<double>(0, TFieldType::ftFloat), 12.5);
  Set(0, TFieldType::ftCurrency, -0.125);
  EXPECT_EQ(Bytes(0), "   -0.13");
  Set(1, TFieldType::ftFloat, 3.75);  // an F field keeps no decimals
  EXPECT_EQ(Bytes(1), "       4");
  Put(1, "  1.5e3 ");
  EXPECT_EQ(Get<double>(1, TFieldType::ftFloat), 1500.0);
  Put(1, "  1,5   ");
  EXPECT_EQ(Get<double>(1, TFieldType::ftFloat), 0.0);
  EXPECT_THROW(Set(2, TFieldType::ftFloat, 1234.5), EDbfFileError);
  EXPECT_EQ(Bytes(2), "     ");
}

TEST_F(TFieldValues, BooleansAreTrueOnlyForT) {
  Open({{"OK", 'L', 1}});
  EXPECT_EQ(Get<int16_t>(0, TFieldType::ftBoolean), std::nullopt);
  for (const char stored : {'T', 't'}) {
    Put(0, std::string(1, stored));
    EXPECT_EQ(Get<int16_t>(0, TFieldType::ftBoolean), 1) << stored;
  }
  for (const char stored : {'Y', 'N', 'F', '?', 'f'}) {
    Put(0, std::string(1, stored));
    EXPECT_EQ(Get<int16_t>(0, TFieldType::ftBoolean), 0) << stored;
  }
  Set(0, TFieldType::ftBoolean, int16_t{1});
  EXPECT_EQ(Bytes(0), "T");
  Set(0, TFieldType::ftBoolean, int16_t{2});
  EXPECT_EQ(Bytes(0), "F");
}

TEST_F(TFieldValues, DatesAreYearMonthDayWithDefaultsAndTheCenturyWindow) {
  Open({{"DATUM", 'D', 8}});
  Set(0, TFieldType::ftDate, DayNumberOf(2024, 2, 29));
  EXPECT_EQ(Bytes(0), "20240229");
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftDate), DayNumberOf(2024, 2, 29));
  Put(0, "20230229");
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftDate), 0);  // impossible, yet a value
  Put(0, "2024    ");
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftDate), DayNumberOf(2024, 1, 1));
  Put(0, "76      ");
  const int base = static_cast<int>(LocalToday().year) - 50;
  const int windowed = base / 100 * 100 + 76 < base ? base / 100 * 100 + 176 : base / 100 * 100 + 76;
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftDate), DayNumberOf(windowed, 1, 1));
  EXPECT_EQ(Get<double>(0, TFieldType::ftDateTime), 0.0);  // a text field has no date-time
  table_->SetFieldValue(0, TFieldType::ftDate, record_.data(), nullptr);
  EXPECT_EQ(Bytes(0), "        ");
}

TEST_F(TFieldValues, BigEndianIntegersAreBiasedByTwoToThe31) {
  Open({{"POCET", 'I', 4}, {"ID", '+', 4}});
  const std::pair<std::string, int32_t> stored[] = {{std::string("\x80\0\0\x01", 4), 1},
                                                    {std::string("\x80\0\0\0", 4), 0},
                                                    {std::string("\x7F\xFF\xFF\xFF", 4), -1},
                                                    {std::string("\xFF\xFF\xFF\xFF", 4), INT32_MAX}};
  for (const auto& [bytes, value] : stored) {
    Put(0, bytes);
    EXPECT_EQ(Get<int32_t>(0, TFieldType::ftInteger), value);
    Set(1, TFieldType::ftAutoInc, value);
    EXPECT_EQ(Bytes(1), bytes);
  }
  Put(0, std::string(4, '\0'));
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftInteger), std::nullopt);
  table_->SetFieldValue(1, TFieldType::ftAutoInc, record_.data(), nullptr);
  EXPECT_EQ(Bytes(1), std::string(4, '\0'));
}

TEST_F(TFieldValues, BigEndianDoublesKeepTheirOrderAndDateTimesTheirBytes) {
  Open({{"HODNOTA", 'O', 8}, {"CAS", '@', 8}});
  Set(0, TFieldType::ftFloat, 0.0);
  EXPECT_EQ(Bytes(0), std::string("\x80\0\0\0\0\0\0\0", 8));
  Set(0, TFieldType::ftFloat, 1.0);
  EXPECT_EQ(Bytes(0), std::string("\xBF\xF0\0\0\0\0\0\0", 8));
  Set(0, TFieldType::ftFloat, -1.0);
  EXPECT_EQ(Bytes(0), std::string("\x40\x0F\xFF\xFF\xFF\xFF\xFF\xFF", 8));
  for (const double value : {-1e300, -2.5, -1e-300, 1e-300, 3.25, 1e300}) {
    Set(0, TFieldType::ftFloat, value);
    EXPECT_EQ(Get<double>(0, TFieldType::ftFloat), value);
  }
  Set(1, TFieldType::ftDateTime, 45000.5);
  EXPECT_EQ(Bytes(1), std::string("\x40\xE5\xF9\x10\0\0\0\0", 8));
  EXPECT_EQ(Get<double>(1, TFieldType::ftDateTime), 45000.5);
  table_->SetFieldValue(0, TFieldType::ftFloat, record_.data(), nullptr);
  EXPECT_EQ(Get<double>(0, TFieldType::ftFloat), std::nullopt);
}

TEST_F(TFieldValues, BinaryFieldsHandOutOnlyTheirOwnKindOfValue) {
  Open({{"POCET", 'I', 4}, {"HODNOTA", 'O', 8}});
  Set(0, TFieldType::ftInteger, int32_t{5});
  std::string text = "untouched";
  EXPECT_TRUE(table_->GetFieldValue(0, TFieldType::ftString, &text, record_.data()));
  EXPECT_EQ(text, "untouched");
  int16_t small = 77;
  EXPECT_TRUE(table_->GetFieldValue(0, TFieldType::ftSmallint, &small, record_.data()));
  EXPECT_EQ(small, 77);
  EXPECT_THROW(Set(0, TFieldType::ftString, std::string("5")), EDbfFileError);
  EXPECT_THROW(Set(1, TFieldType::ftInteger, int32_t{5}), EDbfFileError);
  EXPECT_EQ(Get<int32_t>(0, TFieldType::ftAutoInc), 5);
}

// A damaged header whose fields add up to more than its record length: only the bytes
// inside the record are read or written.
TEST_F(TFieldValues, FieldsPastTheRecordLengthStayInsideTheRecord) {
  Open({{"JMENO", 'C', 6}, {"POCET", 'N', 5}, {"ID", 'I', 4}}, 9);
  record_.resize(9 + 16, '#');  // bytes after the record length must stay as they are
  Put(0, "Eva   ");
  record_[7] = '4';
  record_[8] = '2';
  EXPECT_EQ(Text(0), "Eva");
  EXPECT_EQ(Get<int32_t>(1, TFieldType::ftInteger), 42);  // the two digits inside
  EXPECT_EQ(Get<int32_t>(2, TFieldType::ftInteger), std::nullopt);
  Set(1, TFieldType::ftInteger, int32_t{98765});
  EXPECT_EQ(std::string(record_.begin() + 7, record_.end()), "98" + std::string(16, '#'));
  Set(2, TFieldType::ftInteger, int32_t{1});
  EXPECT_EQ(std::string(record_.begin() + 9, record_.end()), std::string(16, '#'));
  EXPECT_THROW(Set(1, TFieldType::ftInteger, int32_t{987654}), EDbfFileError);
}

TEST_F(TFieldValues, FieldIndexOutsideTheTableIsAnError) {
  Open({{"JMENO", 'C', 6}});
  EXPECT_THROW(table_->GetFieldValue(1, TFieldType::ftString, nullptr, record_.data()), EDbfFileError);
  EXPECT_THROW(table_->SetFieldValue(-1, TFieldType::ftString, record_.data(), nullptr), EDbfFileError);
}

}  // namespace
}  // namespace dbf
