// Names of the field types, as messages and dbftool show them.
#include "DbfFieldTypes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace dbf {
namespace {

TEST(DbfFieldTypes, EveryTypeHasItsOwnNameAndIdentifier) {
  std::set<std::string> names;
  std::set<std::string> identifiers;
  for (int i = 0; i <= static_cast<int>(TFieldType::ftLargeint); ++i) {
    names.insert(FieldTypeName(static_cast<TFieldType>(i)));
    identifiers.insert(FieldTypeIdentifier(static_cast<TFieldType>(i)));
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(TFieldType::ftLargeint) + 1);
  EXPECT_EQ(identifiers.size(), names.size());

  EXPECT_STREQ(FieldTypeName(TFieldType::ftString), "String");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftSmallint), "SmallInt");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftLargeint), "LargeInt");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftAutoInc), "AutoInc");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftDateTime), "DateTime");
  EXPECT_STREQ(FieldTypeIdentifier(TFieldType::ftString), "ftString");
  EXPECT_STREQ(FieldTypeIdentifier(TFieldType::ftSmallint), "ftSmallint");
  EXPECT_STREQ(FieldTypeIdentifier(TFieldType::ftLargeint), "ftLargeint");
  EXPECT_STREQ(FieldTypeIdentifier(TFieldType::ftVarBytes), "ftVarBytes");
}

}  // namespace
}  // namespace dbf
