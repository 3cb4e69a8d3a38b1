// The field classes of columns that only tables prepared elsewhere hold: their
// locale-free texts, what they accept, and the default class of each column type.
#include "DbfForeignFields.h"

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

#include "DatasetTestSupport.h"
#include "DbfErrors.h"

namespace dbf {
namespace {

using testing::TFakeDataSet;
using testing::TScratchFolder;

constexpr int kAmount = 1;  // N 12,2
constexpr int kBorn = 2;    // D
constexpr int kActive = 3;  // L
constexpr int kNotes = 4;   // M
constexpr int kBig = 5;     // N 12
constexpr int kStamp = 6;   // @
constexpr int kId = 7;      // I

TDbfFieldDefs ForeignDefs() {
  TDbfFieldDefs defs;
  filetest::AddColumn(defs, "AMOUNT", 'N', 12, 2);
  filetest::AddColumn(defs, "BORN", 'D', 8);
  filetest::AddColumn(defs, "ACTIVE", 'L', 1);
  filetest::AddColumn(defs, "NOTES", 'M', 10);
  filetest::AddColumn(defs, "BIG", 'N', 12);
  filetest::AddColumn(defs, "STAMP", '@', 8);
  filetest::AddColumn(defs, "ID", 'I', 4);
  return defs;
}

class ForeignFieldTest : public ::testing::Test {
 protected:
  TScratchFolder folder_;
  TFakeDataSet dataset_{folder_ / "FOREIGN.DBF", ForeignDefs()};
};

TEST_F(ForeignFieldTest, FloatTextIsLocaleFree) {
  TFloatField amount;
  dataset_.Bind(amount, "AMOUNT", kAmount);
  // A decimal comma locale must not leak into the texts.
  const char* comma_locale = std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8");
  dataset_.SetColumn(kAmount, "        3.50");
  EXPECT_EQ(amount.readString(), "3.5");
  amount.writeString(" -1234.25 ");
  EXPECT_EQ(dataset_.Column(kAmount), "    -1234.25");
  EXPECT_DOUBLE_EQ(amount.readFloat(), -1234.25);
  EXPECT_EQ(amount.readInteger(), -1234);
  amount.writeFloat(0.000001);
  EXPECT_EQ(dataset_.Column(kAmount), "        0.00");
  EXPECT_EQ(amount.readString(), "0");
  if (comma_locale != nullptr) std::setlocale(LC_NUMERIC, "C");

  EXPECT_THROW(amount.writeString("1,5"), EDatabaseError);
  EXPECT_THROW(amount.writeString("nan"), EDatabaseError);
  amount.writeString("");
  EXPECT_TRUE(amount.isNull());
  EXPECT_EQ(amount.readString(), "");
}

TEST_F(ForeignFieldTest, FloatTextUsesAnExponentOnlyWhenNeeded) {
  TFloatField amount;
  dataset_.Bind(amount, "AMOUNT", kAmount);
  dataset_.SetColumn(kAmount, "  0.00000001");
  EXPECT_EQ(amount.readString(), "0.00000001");
  dataset_.SetColumn(kAmount, "1.5e+30     ");
  EXPECT_EQ(amount.readString(), "1.5e+30");
}

TEST_F(ForeignFieldTest, DatesReadAndWriteAsIsoText) {
  TDateField born;
  dataset_.Bind(born, "BORN", kBorn);
  dataset_.SetColumn(kBorn, "20240229");
  EXPECT_EQ(born.readString(), "2024-02-29");
  dataset_.SetColumn(kBorn, "20230229");
  EXPECT_FALSE(born.isNull()) << "an impossible date is a value";
  EXPECT_EQ(born.readString(), "");

  born.writeString("1976-03-01");
  EXPECT_EQ(dataset_.Column(kBorn), "19760301");
  born.writeString("20000101");
  EXPECT_EQ(born.readString(), "2000-01-01");
  EXPECT_EQ(born.readDayNumber(), 730120);
  for (const char* text : {"2023-02-29", "1976-3-1", "yesterday", "2024-01-01x"}) {
    EXPECT_THROW(born.writeString(text), EDatabaseError) << text;
  }
  EXPECT_THROW(born.readInteger(), EDatabaseError);
}

TEST_F(ForeignFieldTest, DateTimesKeepMillisecondsFromDayOne) {
  TDateTimeField stamp;
  dataset_.Bind(stamp, "STAMP", kStamp);
  dataset_.SetColumn(kStamp, std::string(8, '\0'));
  EXPECT_TRUE(stamp.isNull());
  EXPECT_EQ(stamp.readString(), "");
  stamp.writeString("2000-01-01 13:45:07");
  EXPECT_DOUBLE_EQ(stamp.readMilliseconds(), 730120 * 86400000.0 + 49507000.0);
  EXPECT_EQ(stamp.readString(), "2000-01-01 13:45:07");
  stamp.writeString("2000-01-02");
  EXPECT_EQ(stamp.readString(), "2000-01-02 00:00:00");
  // Texts shorter than a date are refused as values, not as a library fault.
  for (const char* text : {"2000-01-02 24:00", "123456", "2000-1", "2000-01-0"}) {
    EXPECT_THROW(stamp.writeString(text), EDatabaseError) << text;
  }
}

TEST_F(ForeignFieldTest, BooleansAreTOrF) {
  TBooleanField active;
  dataset_.Bind(active, "ACTIVE", kActive);
  const std::pair<const char*, const char*> stored_and_read[] = {{"t", "T"}, {"T", "T"}, {"Y", "F"},
                                                                 {"N", "F"}, {"?", "F"}, {" ", ""}};
  for (const auto& [stored, read] : stored_and_read) {
    dataset_.SetColumn(kActive, stored);
    EXPECT_EQ(active.readString(), read) << stored;
  }
  active.writeString("yes");
  EXPECT_EQ(dataset_.Column(kActive), "T");
  active.writeString("n");
  EXPECT_EQ(dataset_.Column(kActive), "F");
  EXPECT_THROW(active.writeString("maybe"), EDatabaseError);
}

TEST_F(ForeignFieldTest, LargeintsBeyondThirtyTwoBits) {
  TLargeintField big;
  dataset_.Bind(big, "BIG", kBig);
  big.writeString("-98765432109");
  EXPECT_EQ(dataset_.Column(kBig), "-98765432109");
  EXPECT_EQ(big.readLargeint(), -98765432109);
  EXPECT_EQ(big.readString(), "-98765432109");
  EXPECT_THROW(big.readInteger(), EDatabaseError);
  big.writeInteger(12);
  EXPECT_EQ(big.readInteger(), 12);
}

TEST_F(ForeignFieldTest, IntegerFieldsOfEveryKindOnABinaryColumn) {
  std::unique_ptr<TIntegerField> fields[] = {std::make_unique<TIntegerField>(), std::make_unique<TSmallintField>(),
                                             std::make_unique<TAutoIncField>()};
  for (const auto& field : fields) {
    dataset_.Bind(*field, "ID", kId);
    field->writeInteger(-3);
    EXPECT_EQ(dataset_.Column(kId), std::string("\x7F\xFF\xFF\xFD", 4));
    EXPECT_EQ(field->readInteger(), -3);
    EXPECT_EQ(field->readString(), "-3");
  }
}

TEST_F(ForeignFieldTest, MemoColumnsShowOnlyWhetherTheyHoldSomething) {
  TMemoField notes;
  dataset_.Bind(notes, "NOTES", kNotes);
  EXPECT_EQ(notes.displayText(), "(memo)");
  dataset_.SetColumn(kNotes, "        12");
  EXPECT_EQ(notes.displayText(), "(MEMO)");
  EXPECT_EQ(notes.readString(), "");
  try {
    notes.writeString("text");
    FAIL() << "memo contents cannot be assigned";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Cannot access field 'NOTES' as type String");
  }
  notes.clearValue();
  EXPECT_TRUE(notes.isNull());
}

TEST(DefaultFieldTest, EveryColumnTypeGetsItsClass) {
  for (const TFieldType type :
       {TFieldType::ftString, TFieldType::ftSmallint, TFieldType::ftInteger, TFieldType::ftLargeint,
        TFieldType::ftAutoInc, TFieldType::ftFloat, TFieldType::ftDate, TFieldType::ftDateTime, TFieldType::ftBoolean,
        TFieldType::ftMemo, TFieldType::ftBlob, TFieldType::ftGraphic}) {
    const auto field = CreateDefaultField(type, 7);
    ASSERT_NE(field, nullptr) << FieldTypeName(type);
    EXPECT_EQ(field->DataType(), type);
  }
  EXPECT_EQ(CreateDefaultField(TFieldType::ftString, 7)->Size(), 7);
  EXPECT_NE(dynamic_cast<TSmallintField*>(CreateDefaultField(TFieldType::ftSmallint, 0).get()), nullptr);
  EXPECT_EQ(CreateDefaultField(TFieldType::ftUnknown, 0), nullptr);
}

}  // namespace
}  // namespace dbf
