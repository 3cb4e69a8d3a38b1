// Field definitions: one column of a table file (name, type letter, length, decimals,
// offset in the record) and the ordered list that owns them. The setters keep type,
// letter, length and decimals consistent with the table of dBase type letters; the
// columns of FoxPro tables keep FoxPro's letters and their lengths as stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DbfFieldTypes.h"

namespace dbf {

class TDbfFieldDef {
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  TFieldType FieldType() const { return field_type_; }
  // Chooses the letter for the type (none for types without one: the type then becomes
  // ftUnknown) and normalises Size and Prec for it.
  void SetFieldType(TFieldType type);

  // The dBase type letter, or '\0' when the field has none.
  char NativeFieldType() const { return native_field_type_; }
  // Upper-cases a..z, chooses FieldType from the letter with the current Size and Prec,
  // then normalises them. An unknown letter gives ftUnknown and the letter '\0'.
  void SetNativeFieldType(char letter);

  int32_t Size() const { return size_; }
  void SetSize(int32_t size);
  int32_t Prec() const { return prec_; }
  void SetPrec(int32_t prec);

  // Position of the field inside the record; 1 for the first field.
  int32_t Offset() const { return offset_; }
  void SetOffset(int32_t offset) { offset_ = offset; }

  // Next value of a '+' field (long-layout tables only).
  int32_t AutoIncValue() const { return autoinc_value_; }
  void SetAutoIncValue(int32_t value) { autoinc_value_ = value; }

  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }

  // Makes the definition a column of a FoxPro table, which the library only reads: the
  // letter keeps FoxPro's meaning (I a little-endian integer, Y currency, T date and time,
  // B a double, V and Q text of varying length, M, G and W of 4 bytes a block number),
  // the field type follows from it, and length and decimals stay as given, never
  // normalised. `null_bit` and `length_bit` are the bits of the record's null flags that
  // mark the value null or shorter than the column; -1 for none. An unknown letter gives
  // ftUnknown and the letter '\0'.
  void SetFoxProColumn(char letter, int32_t size, int32_t prec, int null_bit, int length_bit);
  bool FoxPro() const { return foxpro_; }
  int NullBit() const { return null_bit_; }
  int LengthBit() const { return length_bit_; }

  // True for the columns whose value is stored in binary rather than as text: the
  // big-endian letters I, +, O and @, and in FoxPro tables I, Y, T, B and the memo letters
  // of 4 bytes (FoxPro's own encodings, little-endian).
  bool IsBinary() const {
    if (foxpro_) return IsFoxProBinary();
    const char letter = native_field_type_;
    return letter == 'I' || letter == '+' || letter == 'O' || letter == '@';
  }
  // True when the column's value is more than its trimmed bytes: a big-endian binary
  // letter, or a FoxPro column that is binary or that the null flags may mark.
  bool NeedsDecoding() const { return IsBinary() || null_bit_ >= 0 || length_bit_ >= 0; }

 private:
  void Normalise();
  bool IsFoxProBinary() const;

  std::string name_;
  TFieldType field_type_ = TFieldType::ftUnknown;
  char native_field_type_ = '\0';
  int32_t size_ = 0;
  int32_t prec_ = 0;
  int32_t offset_ = 0;
  int32_t autoinc_value_ = 0;
  bool required_ = false;
  bool foxpro_ = false;
  int null_bit_ = -1;
  int length_bit_ = -1;
};

// Ordered list of definitions in descriptor order; owns its items. Copies are built by
// setting properties one by one, never by copying whole definitions.
class TDbfFieldDefs {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // REQUIRES: 0 <= index < Count()
  TDbfFieldDef& Items(int index) { return *items_[index]; }
  const TDbfFieldDef& Items(int index) const { return *items_[index]; }

  TDbfFieldDef& Add();
  // Sets name, field type, size and required in this order; decimals stay 0.
  TDbfFieldDef& Add(const std::string& name, TFieldType type, int32_t size, bool required);

  // How a copy takes its letter. Both set name, length and decimals first.
  enum TCopyKind {
    kSameLetter,   // then the letter: the same letter and field type, plus offset,
                   // autoincrement value and required flag (a FoxPro column stays one)
    kLetterOfType  // then the field type: the letter follows from the type again (an
                   // N field with decimals becomes F 8, an I field N 4)
  };
  // Adds a copy of `source` built property by property.
  TDbfFieldDef& AddCopy(const TDbfFieldDef& source, TCopyKind kind);
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TDbfFieldDef>> items_;
};

}  // namespace dbf
