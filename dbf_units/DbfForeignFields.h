// Field classes for the column types that only tables prepared elsewhere contain: floats,
// dates, date-times, booleans and the memo kinds; and the choice of a default field class
// for a column's field type. Their texts are locale-free: floats with "." and no
// exponent unless the number needs one, dates yyyy-mm-dd, booleans T or F.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "DbfFields.h"

namespace dbf {

class TFloatField : public TField {
 public:
  TFloatField() : TField(TFieldType::ftFloat, 0, TAlignment::taRightJustify) {}

  bool IsValidChar(char32_t character) const override;

  double readFloat() const;
  void writeFloat(double value);

  std::string readString() const override;
  // Empty text clears the field; otherwise a number with "." as decimal point.
  void writeString(const std::string& text) override;
  // The value rounded; "Cannot access field '%s' as type Integer" outside 32 bits.
  int32_t readInteger() const override;
  void writeInteger(int32_t value) override { writeFloat(value); }
};

// A date as a day number: 1 January of year 1 is day 1; day 0 is no valid date.
class TDateField : public TField {
 public:
  TDateField() : TField(TFieldType::ftDate, 0, TAlignment::taLeftJustify) {}

  int32_t readDayNumber() const;
  void writeDayNumber(int32_t day_number);

  // yyyy-mm-dd; the empty text when null or not a valid date.
  std::string readString() const override;
  // Empty text clears the field; otherwise yyyy-mm-dd or yyyymmdd of a valid date.
  void writeString(const std::string& text) override;
};

// A date and time as milliseconds, day number d at midnight being d * 86400000.
class TDateTimeField : public TField {
 public:
  TDateTimeField() : TField(TFieldType::ftDateTime, 0, TAlignment::taLeftJustify) {}
  int DisplayWidth() const override { return 19; }

  double readMilliseconds() const;
  void writeMilliseconds(double milliseconds);

  // yyyy-mm-dd hh:mm:ss; the empty text when null.
  std::string readString() const override;
  // Empty text clears the field; otherwise yyyy-mm-dd, optionally " hh:mm" and ":ss".
  void writeString(const std::string& text) override;
};

class TBooleanField : public TField {
 public:
  TBooleanField() : TField(TFieldType::ftBoolean, 0, TAlignment::taCenter) {}
  int DisplayWidth() const override { return 5; }

  bool readBoolean() const;
  void writeBoolean(bool value);

  // "T" or "F"; the empty text when null.
  std::string readString() const override;
  // Empty text clears the field; T/t/Y/y is true, F/f/N/n false, by the first character.
  void writeString(const std::string& text) override;
};

// Columns whose contents live in a companion memo file, which this library does not
// open: they read as the empty text and cannot be assigned, only cleared.
class TBlobField : public TField {
 public:
  TBlobField() : TBlobField(TFieldType::ftBlob, "BLOB") {}

  std::string readString() const override { return ""; }
  // "(BLOB)" when the column refers to contents, "(blob)" when it is empty.
  std::string displayText() const override;

 protected:
  TBlobField(TFieldType data_type, const char* kind);

 private:
  std::string kind_;
};

class TMemoField : public TBlobField {
 public:
  TMemoField() : TBlobField(TFieldType::ftMemo, "MEMO") {}
};

class TGraphicField : public TBlobField {
 public:
  TGraphicField() : TBlobField(TFieldType::ftGraphic, "GRAPHIC") {}
};

// The field object for a column of `type` (a string field of `size` characters); null
// for a type without a field class (ftUnknown among them).
std::unique_ptr<TField> CreateDefaultField(TFieldType type, int32_t size);

}  // namespace dbf
