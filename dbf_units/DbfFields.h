// Field objects: the typed view of one column of a table dataset. A field reads and
// assigns its column's value in the dataset's active record through the small
// TFieldDataSet interface, with the conversions, range checks and code-page step of its
// class. This file holds the base TField and the string and integer classes.
#pragma once

#include <cstdint>
#include <string>

#include "DbfFieldTypes.h"
#include "DbfTableCodePage.h"
#include "DbfValueText.h"

namespace dbf {

class TField;

// What a field needs of its dataset. The table dataset implements it; tests use a fake.
class TFieldDataSet {
 public:
  virtual ~TFieldDataSet() = default;

  // Decodes the field's column of the active record as `type` into `dest` (value layouts
  // of TDbfFile::GetFieldValue; null `dest` only tests for a value). False when the
  // column is empty, the field is unbound or there is no active record.
  virtual bool GetFieldData(const TField& field, TFieldType type, void* dest) const = 0;

  // The trimmed text of the field's text-letter column in the active record, without a
  // copy (an empty text when the column is blank). False when the dataset does not show
  // it so: a binary column, no active record, an unbound field, or a dataset that offers
  // no views; the field then reads through GetFieldData.
  virtual bool GetFieldText(const TField& /*field*/, TFieldText& /*text*/) const { return false; }

  // The code page in which the text columns hold their characters: the open table's, or
  // code page 852 where the dataset has no table that names another.
  virtual const TTableCodePage& CodePage() const;

  // Encodes `source` (null: empty) into the field's column of the active record, then
  // reports EventFieldChanged with the field and sets the modified flag. Throws and
  // leaves the record unchanged when the value does not fit or there is no record.
  virtual void SetFieldData(TField& field, TFieldType type, const void* source) = 0;

  virtual bool CanModify() const = 0;

  // A field's Visible or DisplayLabel changed: bound grids rebuild their columns.
  virtual void FieldLayoutChanged(TField& field) = 0;
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TField {
 public:
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(const std::string& name) { field_name_ = name; }

  TFieldType DataType() const { return data_type_; }

  int32_t Size() const { return size_; }
  void SetSize(int32_t size) { size_ = size; }

  // 1-based column position in the table file; 0 while unbound.
  int FieldNo() const { return field_no_; }
  void SetFieldNo(int field_no) { field_no_ = field_no; }

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& DisplayLabel() const { return display_label_; }
  void SetDisplayLabel(const std::string& label);
  // DisplayLabel when set, else FieldName: the name every field message uses.
  const std::string& DisplayName() const;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }

  // Width in characters that a grid column gives the field.
  virtual int DisplayWidth() const { return 10; }

  // Whether a typed character can be part of the field's text; an edit box discards
  // the others. Every character for text fields.
  virtual bool IsValidChar(char32_t) const { return true; }

  TFieldDataSet* DataSet() const { return dataset_; }
  void SetDataSet(TFieldDataSet* dataset) { dataset_ = dataset; }

  // Whether the field can take a value now: bound, not ReadOnly, dataset modifiable.
  bool CanModify() const;

  // True when the column holds only blanks in the active record, or there is none.
  bool isNull() const;
  virtual std::string readString() const;
  // readString's text without a string of its own: a view of the column's bytes in the
  // active record where they are the text as they stand (ASCII text, an integer written
  // plainly), else of `storage`, which then holds the text. The view lasts until the
  // dataset moves or changes the record, or `storage` changes.
  virtual std::string_view readStringView(std::string& storage) const;
  // readString's text into `text` (its contents replaced), reusing its storage: a reader
  // of many records allocates nothing once its strings have grown.
  void readStringInto(std::string& text) const;
  virtual void writeString(const std::string& text);
  virtual int32_t readInteger() const;
  virtual void writeInteger(int32_t value);
  // Makes the column all blanks (null).
  void clearValue();

  // The texts a bound control shows and edits.
  virtual std::string displayText() const { return readString(); }
  virtual std::string editText() const { return readString(); }
  void assignEditText(const std::string& text) { writeString(text); }

 protected:
  TField(TFieldType data_type, int32_t size, TAlignment alignment);

  // The dataset, or EDatabaseError "Field '%s' has no dataset".
  TFieldDataSet& RequireDataSet() const;
  // Reads the column as `type`; false (dest untouched) when null.
  bool GetData(TFieldType type, void* dest) const;
  // The column's trimmed text where the dataset shows it (TFieldDataSet::GetFieldText).
  bool GetText(TFieldText& text) const { return RequireDataSet().GetFieldText(*this, text); }
  // The column's value in the layout of `type`; zero when null.
  template <typename T>
  T GetValue(TFieldType type) const {
    T value{};
    GetData(type, &value);
    return value;
  }
  void SetData(TFieldType type, const void* source);
  // Typed text that is empty (blanks apart) clears the field; returns whether it did.
  bool ClearIfBlank(const std::string& trimmed_text);

  [[noreturn]] void AccessError(const char* type_name) const;
  // The whole text as an integer in [low, high] (see ParseIntegerText), else
  // "'%s' is not a valid integer value for field '%s'".
  int64_t IntegerOfText(const std::string& text, int64_t low, int64_t high) const;

 private:
  std::string field_name_;
  TFieldType data_type_;
  int32_t size_;
  int field_no_ = 0;
  bool read_only_ = false;
  bool required_ = false;
  bool visible_ = true;
  std::string display_label_;
  TAlignment alignment_;
  TFieldDataSet* dataset_ = nullptr;
};

// Text of at most Size characters. With Transliterate the column bytes are in the code
// page of the dataset's table and the field's text is UTF-8.
class TStringField : public TField {
 public:
  TStringField() : TField(TFieldType::ftString, 20, TAlignment::taLeftJustify) {}

  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool transliterate) { transliterate_ = transliterate; }

  int DisplayWidth() const override { return Size(); }

  std::string readString() const override;
  std::string_view readStringView(std::string& storage) const override;
  // Cuts the text to Size characters; the column is padded with blanks. A character the
  // table's code page lacks is refused or stored as '?' (TTableCodePage::Encode).
  void writeString(const std::string& text) override;
  // The text read as a decimal integer; 0 when null.
  int32_t readInteger() const override;
  void writeInteger(int32_t value) override;

 private:
  bool transliterate_ = true;
};

// 32-bit integer with a permitted range: MinValue to MaxValue when either is non-zero,
// else the range of the class.
class TIntegerField : public TField {
 public:
  TIntegerField() : TIntegerField(TFieldType::ftInteger) {}

  int32_t MinValue() const { return min_value_; }
  void SetMinValue(int32_t value) { min_value_ = value; }
  int32_t MaxValue() const { return max_value_; }
  void SetMaxValue(int32_t value) { max_value_ = value; }

  int DisplayWidth() const override { return 11; }
  bool IsValidChar(char32_t character) const override;

  // Decimal text without leading blanks; the empty text when null.
  std::string readString() const override;
  std::string_view readStringView(std::string& storage) const override;
  // Empty text clears the field; otherwise the whole text must be a 32-bit integer
  // (leading blanks, a sign, a "$" or "0x" hexadecimal prefix allowed).
  void writeString(const std::string& text) override;
  int32_t readInteger() const override;
  void writeInteger(int32_t value) override;

 protected:
  explicit TIntegerField(TFieldType data_type) : TField(data_type, 0, TAlignment::taRightJustify) {}
  virtual int32_t ClassMin() const { return INT32_MIN; }
  virtual int32_t ClassMax() const { return INT32_MAX; }

 private:
  // Decodes the column once for both the null test and the value (0 when null).
  bool ReadValue(int32_t& value) const;

  int32_t min_value_ = 0;
  int32_t max_value_ = 0;
};

// A TIntegerField whose values are 16-bit.
class TSmallintField : public TIntegerField {
 public:
  TSmallintField() : TIntegerField(TFieldType::ftSmallint) {}
  int DisplayWidth() const override { return 6; }

 protected:
  int32_t ClassMin() const override { return INT16_MIN; }
  int32_t ClassMax() const override { return INT16_MAX; }
};

// The counter of a '+' column; read and written like an integer.
class TAutoIncField : public TIntegerField {
 public:
  TAutoIncField() : TIntegerField(TFieldType::ftAutoInc) {}
};

// 64-bit integer (N columns of ten digits and more).
class TLargeintField : public TField {
 public:
  TLargeintField() : TField(TFieldType::ftLargeint, 0, TAlignment::taRightJustify) {}

  int DisplayWidth() const override { return 15; }
  bool IsValidChar(char32_t character) const override;

  int64_t readLargeint() const;
  void writeLargeint(int64_t value);

  std::string readString() const override;
  void writeString(const std::string& text) override;
  // REQUIRES: the value fits 32 bits, else "Cannot access field '%s' as type Integer".
  int32_t readInteger() const override;
  void writeInteger(int32_t value) override { writeLargeint(value); }
};

// Parses a whole text as an integer the way integer fields accept typed text. False
// when anything but blanks, a sign, a "$"/"0x" prefix and digits is present or the value
// overflows 64 bits.
bool ParseIntegerText(const std::string& text, int64_t& value);

}  // namespace dbf
