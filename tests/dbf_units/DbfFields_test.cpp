// Field objects over one record of the results table, through a fake dataset that holds
// the record buffer: what reaches the column bytes, what reads back, and the messages.
#include "DbfFields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfErrors.h"

namespace dbf {
namespace {

using testing::MessageOf;
using testing::TFakeDataSet;
using testing::TScratchFolder;

TDbfFieldDefs ResultsDefs() {
  TDbfFieldDefs defs;
  filetest::AddResultsSchema(defs);
  return defs;
}

constexpr int kPrijmeni = 1;
constexpr int kPocSpr = 5;
constexpr int kSumaAgr = 7;

class FieldTest : public ::testing::Test {
 protected:
  TScratchFolder folder_;
  TFakeDataSet dataset_{folder_ / "RESULTS.DBF", ResultsDefs()};
};

TEST_F(FieldTest, SmallintColumnOfThreeDigits) {
  TSmallintField suma;
  dataset_.Bind(suma, "SUMA_AGR", kSumaAgr);
  suma.writeInteger(-5);
  EXPECT_EQ(dataset_.Column(kSumaAgr), " -5");
  EXPECT_EQ(suma.readInteger(), -5);
  EXPECT_EQ(suma.readString(), "-5");

  EXPECT_EQ(MessageOf([&] { suma.writeInteger(1000); }),
            "Field data too long :4 (must be between 1 and 3). Field 'SUMA_AGR' of table " + folder_ / "RESULTS.DBF");
  EXPECT_THROW(suma.writeInteger(1000), EDbfFileError);
  EXPECT_EQ(MessageOf([&] { suma.writeInteger(40000); }),
            "40000 is not a valid value for field 'SUMA_AGR'. The allowed range is -32768 to 32767");
  EXPECT_EQ(dataset_.Column(kSumaAgr), " -5") << "refused values leave the column as it was";
  EXPECT_EQ(dataset_.changed_fields.size(), 1u) << "only the stored value was reported";
}

TEST_F(FieldTest, IntegerColumnOfFiveDigits) {
  TIntegerField spr;
  dataset_.Bind(spr, "POC_SPR", kPocSpr);
  spr.writeInteger(-1234);
  EXPECT_EQ(dataset_.Column(kPocSpr), "-1234");
  EXPECT_EQ(MessageOf([&] { spr.writeInteger(123456); }),
            "Field data too long :6 (must be between 1 and 5). Field 'POC_SPR' of table " + folder_ / "RESULTS.DBF");
  EXPECT_EQ(spr.readInteger(), -1234);
  EXPECT_EQ(spr.Alignment(), TAlignment::taRightJustify);
}

TEST_F(FieldTest, AutoIncrementFieldOnATextColumnKeepsItsValue) {
  TAutoIncField counter;
  dataset_.Bind(counter, "POC_SPR", kPocSpr);
  counter.writeInteger(12);
  EXPECT_EQ(dataset_.Column(kPocSpr), "   12");
  EXPECT_EQ(counter.readInteger(), 12);
}

TEST_F(FieldTest, IntegerFieldTakesTypedText) {
  TIntegerField spr;
  dataset_.Bind(spr, "POC_SPR", kPocSpr);
  EXPECT_EQ(MessageOf([&] { spr.writeString("abc"); }), "'abc' is not a valid integer value for field 'POC_SPR'");
  for (const char* text : {"12a", "1 2", "-", "$", "0x", "99999999999"}) {
    EXPECT_THROW(spr.writeString(text), EDatabaseError) << text;
  }
  spr.writeString("  42");
  EXPECT_EQ(spr.readInteger(), 42);
  spr.writeString("$1F");
  EXPECT_EQ(spr.readInteger(), 31);
  spr.writeString("-0x10");
  EXPECT_EQ(spr.readInteger(), -16);

  spr.writeString("");
  EXPECT_TRUE(spr.isNull());
  EXPECT_EQ(dataset_.Column(kPocSpr), "     ");
  EXPECT_EQ(spr.readInteger(), 0);
  EXPECT_EQ(spr.readString(), "");
}

TEST_F(FieldTest, OwnRangeReplacesTheClassRangeButNeverWidensIt) {
  TSmallintField suma;
  dataset_.Bind(suma, "SUMA_AGR", kSumaAgr);
  suma.SetMinValue(0);
  suma.SetMaxValue(30);
  suma.SetDisplayLabel("Suma AGR");
  EXPECT_EQ(MessageOf([&] { suma.writeInteger(-1); }),
            "-1 is not a valid value for field 'Suma AGR'. The allowed range is 0 to 30");
  suma.writeInteger(30);
  EXPECT_EQ(suma.readInteger(), 30);

  suma.SetMaxValue(100000);
  EXPECT_EQ(MessageOf([&] { suma.writeInteger(40000); }),
            "40000 is not a valid value for field 'Suma AGR'. The allowed range is 0 to 32767");

  TIntegerField spr;
  dataset_.Bind(spr, "POC_SPR", kPocSpr);
  EXPECT_EQ(MessageOf([&] { spr.writeString("2147483648"); }),
            "'2147483648' is not a valid integer value for field 'POC_SPR'");
}

TEST_F(FieldTest, StringFieldCutsToItsSizeInCharacters) {
  TStringField surname;
  dataset_.Bind(surname, "PRIJMENI", kPrijmeni, 15);
  surname.writeString("Abcdefghijklmnopqrst");
  EXPECT_EQ(dataset_.Column(kPrijmeni), "Abcdefghijklmno");
  EXPECT_EQ(surname.readString(), "Abcdefghijklmno");

  surname.writeString("   Novák  ");
  EXPECT_EQ(surname.readString(), "Novák") << "blanks at both ends are not part of the value";

  surname.writeString("Žluťoučký kůň úpěl");
  EXPECT_EQ(surname.readString(), "Žluťoučký kůň ú") << "15 characters, not 15 bytes";
}

TEST_F(FieldTest, CzechSurnameIsStoredInCodePage852) {
  TStringField surname;
  dataset_.Bind(surname, "PRIJMENI", kPrijmeni, 15);
  surname.writeString("Dvořák Čížková");
  EXPECT_EQ(dataset_.Column(kPrijmeni), "Dvo\xFD\xA0k \xAC\xA1\xA7kov\xA0 ");
  EXPECT_EQ(surname.readString(), "Dvořák Čížková");

  surname.SetTransliterate(false);
  EXPECT_EQ(surname.readString(), "Dvo\xFD\xA0k \xAC\xA1\xA7kov\xA0")
      << "without the translate step the bytes come as they are";
}

// A dataset that shows no column text of its own: views read through the values.
TEST_F(FieldTest, ViewsReadThroughTheValueWhereTheDatasetShowsNoText) {
  TStringField surname;
  dataset_.Bind(surname, "PRIJMENI", kPrijmeni, 15);
  TSmallintField agr;
  dataset_.Bind(agr, "SUMA_AGR", kSumaAgr);
  std::string storage;
  for (const auto& [column, text] : {std::pair<std::string, std::string>{"Dvo\xFD\xA0k         ", "Dvořák"},
                                     {"Novak          ", "Novak"},
                                     {std::string(15, ' '), ""}}) {
    dataset_.SetColumn(kPrijmeni, column);
    EXPECT_EQ(surname.readStringView(storage), text);
  }
  for (const auto& [column, text] : {std::pair<std::string, std::string>{" -5", "-5"}, {"007", "7"}, {"   ", ""}}) {
    dataset_.SetColumn(kSumaAgr, column);
    EXPECT_EQ(agr.readStringView(storage), text);
  }
}

TEST_F(FieldTest, ConversionsBetweenTextAndIntegerFields) {
  TStringField surname;
  dataset_.Bind(surname, "PRIJMENI", kPrijmeni, 15);
  surname.writeInteger(-17);
  EXPECT_EQ(surname.readString(), "-17");
  EXPECT_EQ(surname.readInteger(), -17);
  surname.writeString("x7");
  EXPECT_EQ(MessageOf([&] { surname.readInteger(); }), "'x7' is not a valid integer value for field 'PRIJMENI'");
  surname.clearValue();
  EXPECT_EQ(surname.readInteger(), 0);
}

TEST_F(FieldTest, EmptyDatasetReadsNull) {
  TStringField surname;
  dataset_.Bind(surname, "PRIJMENI", kPrijmeni, 15);
  TIntegerField spr;
  dataset_.Bind(spr, "POC_SPR", kPocSpr);
  surname.writeString("Novák");
  dataset_.empty = true;
  EXPECT_TRUE(surname.isNull());
  EXPECT_EQ(surname.readString(), "");
  EXPECT_EQ(spr.readInteger(), 0);
  EXPECT_EQ(spr.displayText(), "");
}

TEST_F(FieldTest, FieldWithoutDataset) {
  TIntegerField loose;
  loose.SetFieldName("POC_SPR");
  EXPECT_EQ(MessageOf([&] { loose.readInteger(); }), "Field 'POC_SPR' has no dataset");
  EXPECT_EQ(MessageOf([&] { loose.isNull(); }), "Field 'POC_SPR' has no dataset");
}

TEST_F(FieldTest, DefaultsAndPresentation) {
  TStringField text;
  EXPECT_EQ(text.Size(), 20);
  EXPECT_TRUE(text.Transliterate());
  EXPECT_EQ(text.FieldNo(), 0);
  EXPECT_FALSE(text.ReadOnly());
  EXPECT_FALSE(text.Required());
  EXPECT_TRUE(text.Visible());

  TStringField surname;
  dataset_.Bind(surname, "PRIJMENI", kPrijmeni, 15);
  EXPECT_EQ(surname.DisplayName(), "PRIJMENI");
  surname.SetDisplayLabel("Příjmení");
  surname.SetVisible(false);
  EXPECT_EQ(surname.DisplayName(), "Příjmení");
  EXPECT_EQ(dataset_.layout_changes, (std::vector<std::string>{"PRIJMENI", "PRIJMENI"}));

  EXPECT_TRUE(surname.CanModify());
  surname.SetReadOnly(true);
  EXPECT_FALSE(surname.CanModify());
  TStringField unbound;
  EXPECT_FALSE(unbound.CanModify());
}

TEST(ParseIntegerTextTest, AcceptsWholeIntegersOnly) {
  int64_t value = 0;
  EXPECT_TRUE(ParseIntegerText("-9223372036854775808", value));
  EXPECT_EQ(value, INT64_MIN);
  EXPECT_FALSE(ParseIntegerText("9223372036854775808", value));
  EXPECT_TRUE(ParseIntegerText("+7", value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(ParseIntegerText("0XfF", value));
  EXPECT_EQ(value, 255);
  EXPECT_FALSE(ParseIntegerText("12 ", value));
  EXPECT_FALSE(ParseIntegerText("", value));
  EXPECT_FALSE(ParseIntegerText("1e3", value));
}

}  // namespace
}  // namespace dbf
