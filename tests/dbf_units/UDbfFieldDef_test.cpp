// Field definitions: the letter, type, length and decimals rules hold whatever order the
// properties are set in.
#include "UDbfFieldDef.h"

#include <gtest/gtest.h>

namespace dbf {
namespace {

struct TStoredField {
  char letter;
  int32_t size;
  int32_t prec;
  TFieldType type;
  char normal_letter;
  int32_t normal_size;
  int32_t normal_prec;
};

// A descriptor as read: length and decimals first, then the letter.
TDbfFieldDef ReadAsFromFile(char letter, int32_t size, int32_t prec) {
  TDbfFieldDef def;
  def.SetSize(size);
  def.SetPrec(prec);
  def.SetNativeFieldType(letter);
  return def;
}

TEST(UDbfFieldDef, LetterReadFromFileChoosesTypeAndNormalises) {
  const TStoredField cases[] = {
      {'C', 255, 3, TFieldType::ftString, 'C', 254, 0}, {'C', 0, 0, TFieldType::ftString, 'C', 1, 0},
      {'c', 10, 0, TFieldType::ftString, 'C', 10, 0},   {'N', 4, 0, TFieldType::ftSmallint, 'N', 4, 0},
      {'N', 5, 0, TFieldType::ftInteger, 'N', 5, 0},    {'N', 9, 0, TFieldType::ftInteger, 'N', 9, 0},
      {'N', 10, 0, TFieldType::ftLargeint, 'N', 10, 0}, {'N', 30, 0, TFieldType::ftLargeint, 'N', 20, 0},
      {'N', 8, 2, TFieldType::ftFloat, 'N', 8, 2},      {'N', 5, 4, TFieldType::ftFloat, 'N', 5, 3},
      {'N', 1, 1, TFieldType::ftFloat, 'N', 1, 0},      {'n', 0, 0, TFieldType::ftSmallint, 'N', 1, 0},
      {'F', 20, 5, TFieldType::ftFloat, 'F', 8, 0},     {'D', 10, 0, TFieldType::ftDate, 'D', 8, 0},
      {'L', 3, 0, TFieldType::ftBoolean, 'L', 1, 0},    {'M', 4, 0, TFieldType::ftMemo, 'M', 10, 0},
      {'B', 10, 0, TFieldType::ftBlob, 'B', 10, 0},     {'G', 10, 0, TFieldType::ftGraphic, 'G', 10, 0},
      {'I', 8, 0, TFieldType::ftInteger, 'I', 4, 0},    {'+', 4, 0, TFieldType::ftAutoInc, '+', 4, 0},
      {'O', 4, 2, TFieldType::ftFloat, 'O', 8, 0},      {'@', 8, 0, TFieldType::ftDateTime, '@', 8, 0},
      {'X', 7, 3, TFieldType::ftUnknown, '\0', 7, 3},   {'\0', 200, 0, TFieldType::ftUnknown, '\0', 200, 0},
  };
  for (const TStoredField& stored : cases) {
    SCOPED_TRACE(std::string("letter ") + stored.letter + " length " + std::to_string(stored.size));
    const TDbfFieldDef def = ReadAsFromFile(stored.letter, stored.size, stored.prec);
    EXPECT_EQ(def.FieldType(), stored.type);
    EXPECT_EQ(def.NativeFieldType(), stored.normal_letter);
    EXPECT_EQ(def.Size(), stored.normal_size);
    EXPECT_EQ(def.Prec(), stored.normal_prec);
  }
}

TEST(UDbfFieldDef, FieldTypeChoosesTheLetterANewTableStores) {
  const std::pair<TFieldType, char> with_letter[] = {
      {TFieldType::ftString, 'C'},   {TFieldType::ftSmallint, 'N'}, {TFieldType::ftInteger, 'N'},
      {TFieldType::ftLargeint, 'N'}, {TFieldType::ftFloat, 'F'},    {TFieldType::ftBoolean, 'L'},
      {TFieldType::ftDate, 'D'},     {TFieldType::ftDateTime, '@'}, {TFieldType::ftAutoInc, '+'},
      {TFieldType::ftMemo, 'M'},     {TFieldType::ftBlob, 'B'},     {TFieldType::ftGraphic, 'G'}};
  for (const auto& [type, letter] : with_letter) {
    TDbfFieldDef def;
    def.SetFieldType(type);
    EXPECT_EQ(def.FieldType(), type);
    EXPECT_EQ(def.NativeFieldType(), letter);
  }
  for (const TFieldType type : {TFieldType::ftWord, TFieldType::ftCurrency, TFieldType::ftBCD, TFieldType::ftTime,
                                TFieldType::ftBytes, TFieldType::ftVarBytes}) {
    TDbfFieldDef def;
    def.SetFieldType(type);
    EXPECT_EQ(def.FieldType(), TFieldType::ftUnknown) << FieldTypeIdentifier(type);
    EXPECT_EQ(def.NativeFieldType(), '\0');
  }
}

TEST(UDbfFieldDef, DeclaredSmallintKeepsItsTypeButReadsBackAsInteger) {
  TDbfFieldDef declared;
  declared.SetName("SUMA");
  declared.SetFieldType(TFieldType::ftSmallint);
  declared.SetNativeFieldType('N');  // the length is still 1 here
  declared.SetSize(5);
  declared.SetPrec(0);
  EXPECT_EQ(declared.FieldType(), TFieldType::ftSmallint);
  EXPECT_EQ(declared.Size(), 5);

  const TDbfFieldDef read = ReadAsFromFile(declared.NativeFieldType(), declared.Size(), declared.Prec());
  EXPECT_EQ(read.FieldType(), TFieldType::ftInteger);
}

TEST(UDbfFieldDef, SizeAndPrecSettersNormaliseForTheCurrentLetter) {
  TDbfFieldDef def;
  def.SetFieldType(TFieldType::ftFloat);  // F: fixed length 8
  def.SetSize(12);
  def.SetPrec(2);
  EXPECT_EQ(def.Size(), 8);
  EXPECT_EQ(def.Prec(), 0);

  def.SetNativeFieldType('N');
  def.SetSize(6);
  def.SetPrec(9);
  EXPECT_EQ(def.Prec(), 4);
  def.SetSize(3);
  EXPECT_EQ(def.Prec(), 1);
  def.SetSize(-5);
  EXPECT_EQ(def.Size(), 1);
  EXPECT_EQ(def.Prec(), 0);

  def.SetFieldType(TFieldType::ftString);
  def.SetSize(1000);
  EXPECT_EQ(def.Size(), 254);
}

TEST(UDbfFieldDef, OnlyTheBigEndianLettersAreBinary) {
  for (const char letter : {'I', '+', 'O', '@'}) EXPECT_TRUE(ReadAsFromFile(letter, 4, 0).IsBinary()) << letter;
  for (const char letter : {'C', 'N', 'F', 'D', 'L', 'M', 'X'}) {
    EXPECT_FALSE(ReadAsFromFile(letter, 4, 0).IsBinary()) << letter;
  }
}

TEST(TDbfFieldDefs, AddSetsTypeThenSizeAndOwnsItsItems) {
  TDbfFieldDefs defs;
  defs.Add("PRIJMENI", TFieldType::ftString, 300, true);
  defs.Add("POC_SPR", TFieldType::ftInteger, 5, false);
  defs.Add("STAV", TFieldType::ftWord, 2, false);
  defs.Add();
  ASSERT_EQ(defs.Count(), 4);
  EXPECT_EQ(defs.Items(0).Name(), "PRIJMENI");
  EXPECT_EQ(defs.Items(0).NativeFieldType(), 'C');
  EXPECT_EQ(defs.Items(0).Size(), 254);
  EXPECT_TRUE(defs.Items(0).Required());
  EXPECT_EQ(defs.Items(1).FieldType(), TFieldType::ftInteger);
  EXPECT_EQ(defs.Items(1).Size(), 5);
  EXPECT_EQ(defs.Items(1).Prec(), 0);
  EXPECT_EQ(defs.Items(2).FieldType(), TFieldType::ftUnknown);
  EXPECT_EQ(defs.Items(2).Size(), 2);
  EXPECT_EQ(defs.Items(3).FieldType(), TFieldType::ftUnknown);
  defs.Clear();
  EXPECT_EQ(defs.Count(), 0);
}

}  // namespace
}  // namespace dbf
