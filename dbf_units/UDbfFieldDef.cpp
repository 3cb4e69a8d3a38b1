// Field definitions: the setters keep field type, type letter, length and decimals
// consistent with the table of dBase type letters, whatever order they are set in.
#include "UDbfFieldDef.h"

#include <algorithm>

namespace dbf {

namespace {

char UpperCaseLetter(char letter) {
  return (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
}

// An 'N' field is presented as the narrowest integer that holds its digits, or as a float
// when it has decimals.
TFieldType NumericFieldType(int32_t size, int32_t prec) {
  if (prec != 0) return TFieldType::ftFloat;
  if (size <= 4) return TFieldType::ftSmallint;
  if (size <= 9) return TFieldType::ftInteger;
  return TFieldType::ftLargeint;
}

// The field type a letter read from a file stands for; ftUnknown for letters we do not know.
TFieldType FieldTypeOfLetter(char letter, int32_t size, int32_t prec) {
  switch (letter) {
    case 'C':
      return TFieldType::ftString;
    case 'N':
      return NumericFieldType(size, prec);
    case 'F':
      return TFieldType::ftFloat;
    case 'O':
      return TFieldType::ftFloat;
    case 'D':
      return TFieldType::ftDate;
    case 'L':
      return TFieldType::ftBoolean;
    case 'M':
      return TFieldType::ftMemo;
    case 'B':
      return TFieldType::ftBlob;
    case 'G':
      return TFieldType::ftGraphic;
    case 'I':
      return TFieldType::ftInteger;
    case '+':
      return TFieldType::ftAutoInc;
    case '@':
      return TFieldType::ftDateTime;
    default:
      return TFieldType::ftUnknown;
  }
}

// The field type of a FoxPro letter; ftUnknown for letters we do not know.
TFieldType FieldTypeOfFoxProLetter(char letter, int32_t size, int32_t prec) {
  switch (letter) {
    case 'V':
    case 'Q':
      return TFieldType::ftString;
    case 'B':
      return TFieldType::ftFloat;
    case 'Y':
      return TFieldType::ftCurrency;
    case 'T':
      return TFieldType::ftDateTime;
    case 'W':
      return TFieldType::ftBlob;
    case 'C':
    case 'N':
    case 'F':
    case 'D':
    case 'L':
    case 'M':
    case 'G':
    case 'I':
      return FieldTypeOfLetter(letter, size, prec);
    default:
      return TFieldType::ftUnknown;
  }
}

bool IsMemoLetter(char letter) { return letter == 'M' || letter == 'G' || letter == 'W'; }

// The letter a new table stores for a field type; '\0' for types a table cannot hold.
char LetterOfFieldType(TFieldType type) {
  switch (type) {
    case TFieldType::ftString:
      return 'C';
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
      return 'N';
    case TFieldType::ftFloat:
      return 'F';
    case TFieldType::ftBoolean:
      return 'L';
    case TFieldType::ftDate:
      return 'D';
    case TFieldType::ftDateTime:
      return '@';
    case TFieldType::ftAutoInc:
      return '+';
    case TFieldType::ftMemo:
      return 'M';
    case TFieldType::ftBlob:
      return 'B';
    case TFieldType::ftGraphic:
      return 'G';
    default:
      return '\0';
  }
}

// The length every field of a fixed-width letter has; 0 for letters of variable length.
int32_t FixedLengthOfLetter(char letter) {
  switch (letter) {
    case 'F':
    case 'D':
    case 'O':
    case '@':
      return 8;
    case 'L':
      return 1;
    case 'M':
    case 'B':
    case 'G':
      return 10;
    case 'I':
    case '+':
      return 4;
    default:
      return 0;
  }
}

}  // namespace

void TDbfFieldDef::SetFieldType(TFieldType type) {
  native_field_type_ = LetterOfFieldType(type);
  field_type_ = native_field_type_ == '\0' ? TFieldType::ftUnknown : type;
  Normalise();
}

void TDbfFieldDef::SetNativeFieldType(char letter) {
  letter = UpperCaseLetter(letter);
  field_type_ = FieldTypeOfLetter(letter, size_, prec_);
  native_field_type_ = field_type_ == TFieldType::ftUnknown ? '\0' : letter;
  Normalise();
}

void TDbfFieldDef::SetFoxProColumn(char letter, int32_t size, int32_t prec, int null_bit, int length_bit) {
  letter = UpperCaseLetter(letter);
  foxpro_ = true;
  field_type_ = FieldTypeOfFoxProLetter(letter, size, prec);
  native_field_type_ = field_type_ == TFieldType::ftUnknown ? '\0' : letter;
  size_ = size;
  prec_ = prec;
  null_bit_ = null_bit;
  length_bit_ = length_bit;
}

// FoxPro's memo letters hold their block number as text in 10 bytes or binary in 4.
bool TDbfFieldDef::IsFoxProBinary() const {
  const char letter = native_field_type_;
  return letter == 'I' || letter == 'Y' || letter == 'T' || letter == 'B' || (IsMemoLetter(letter) && size_ == 4);
}

void TDbfFieldDef::SetSize(int32_t size) {
  size_ = size;
  Normalise();
}

void TDbfFieldDef::SetPrec(int32_t prec) {
  prec_ = prec;
  Normalise();
}

void TDbfFieldDef::Normalise() {
  if (foxpro_) return;  // FoxPro's columns stand as their descriptors give them
  switch (native_field_type_) {
    case '\0':
      return;  // a field without a letter keeps whatever length and decimals it was given
    case 'C':
      size_ = std::clamp(size_, 1, 254);
      prec_ = 0;
      return;
    case 'N':
      size_ = std::clamp(size_, 1, 20);
      prec_ = std::max(std::min(prec_, size_ - 2), 0);
      return;
    default:
      size_ = FixedLengthOfLetter(native_field_type_);
      prec_ = 0;
      return;
  }
}

TDbfFieldDef& TDbfFieldDefs::Add() {
  items_.push_back(std::make_unique<TDbfFieldDef>());
  return *items_.back();
}

TDbfFieldDef& TDbfFieldDefs::AddCopy(const TDbfFieldDef& source, TCopyKind kind) {
  TDbfFieldDef& copy = Add();
  copy.SetName(source.Name());
  copy.SetSize(source.Size());
  copy.SetPrec(source.Prec());
  if (kind == kLetterOfType) {
    copy.SetFieldType(source.FieldType());
    return copy;
  }
  if (source.FoxPro()) {
    copy.SetFoxProColumn(source.NativeFieldType(), source.Size(), source.Prec(), source.NullBit(), source.LengthBit());
  } else {
    copy.SetNativeFieldType(source.NativeFieldType());
  }
  copy.SetOffset(source.Offset());
  copy.SetAutoIncValue(source.AutoIncValue());
  copy.SetRequired(source.Required());
  return copy;
}

TDbfFieldDef& TDbfFieldDefs::Add(const std::string& name, TFieldType type, int32_t size, bool required) {
  TDbfFieldDef& def = Add();
  def.SetName(name);
  def.SetFieldType(type);
  def.SetSize(size);
  def.SetRequired(required);
  return def;
}

}  // namespace dbf
