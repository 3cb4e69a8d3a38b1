// The types in which a dataset presents a column. The table file maps some of them to
// dBase type letters (see UDbfFieldDef.h); the rest exist for field objects only.
#pragma once

namespace dbf {

enum class TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftLargeint,
};

// The name used in type-mismatch messages ("String", "SmallInt", "LargeInt", ...).
const char* FieldTypeName(TFieldType type);

// The enumerator's own name ("ftString", ...), as dbftool prints it.
const char* FieldTypeIdentifier(TFieldType type);

}  // namespace dbf
