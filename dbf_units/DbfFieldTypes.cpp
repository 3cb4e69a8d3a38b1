// Names of the dataset field types: the short ones for messages, the enumerators' own
// names for tools that print a table's layout.
#include "DbfFieldTypes.h"

#include <cstddef>
#include <iterator>

namespace dbf {

namespace {

struct TFieldTypeNames {
  const char* name;
  const char* identifier;
};

// Indexed by the enumerator's value; the order must follow the enumeration.
constexpr TFieldTypeNames kFieldTypeNames[] = {
    {"Unknown", "ftUnknown"}, {"String", "ftString"},     {"SmallInt", "ftSmallint"}, {"Integer", "ftInteger"},
    {"Word", "ftWord"},       {"Boolean", "ftBoolean"},   {"Float", "ftFloat"},       {"Currency", "ftCurrency"},
    {"BCD", "ftBCD"},         {"Date", "ftDate"},         {"Time", "ftTime"},         {"DateTime", "ftDateTime"},
    {"Bytes", "ftBytes"},     {"VarBytes", "ftVarBytes"}, {"AutoInc", "ftAutoInc"},   {"Blob", "ftBlob"},
    {"Memo", "ftMemo"},       {"Graphic", "ftGraphic"},   {"LargeInt", "ftLargeint"},
};

static_assert(std::size(kFieldTypeNames) == static_cast<size_t>(TFieldType::ftLargeint) + 1,
              "one entry per field type");

const TFieldTypeNames& NamesOf(TFieldType type) {
  const auto index = static_cast<size_t>(type);
  return index < std::size(kFieldTypeNames) ? kFieldTypeNames[index] : kFieldTypeNames[0];
}

}  // namespace

const char* FieldTypeName(TFieldType type) { return NamesOf(type).name; }

const char* FieldTypeIdentifier(TFieldType type) { return NamesOf(type).identifier; }

}  // namespace dbf
