#include "LineValues.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

TEST(LineValues, ValueEndsAtSeparatorAndHash) {
  EXPECT_EQ(line_value("1\t                  (TEST = kod)", ' '), "1\t");
  EXPECT_EQ(line_value("10", ' '), "");
  EXPECT_EQ(line_value("10 (parametr a)", ' '), "10");
  EXPECT_EQ(line_value("10#x comment", ' '), "10");
  EXPECT_EQ(line_value("#10 comment", ' '), "");
  EXPECT_EQ(line_value(" 10 comment", ' '), "");
  EXPECT_EQ(line_value("9,21,24,25,   (cisla", '('), "9,21,24,25,   ");
}

TEST(LineValues, ListItemsWithAndWithoutTrailingComma) {
  for (const char* list : {"9,21,24,25, ", "9,21,24,25 "}) {
    EXPECT_EQ(list_item(1, list), "9") << list;
    EXPECT_EQ(list_item(2, list), "21") << list;
    EXPECT_EQ(list_item(4, list), "25") << list;
  }
  EXPECT_EQ(list_item(5, "9,21,24,25, "), "");
  EXPECT_EQ(list_item(5, "9,21,24,25 "), "25");
}

TEST(LineValues, ListScansOnlyBeforeFirstSpace) {
  EXPECT_EQ(list_item(1, "9,21,24,25,"), "");
  EXPECT_EQ(list_item(1, "9, 21 "), "9");
  EXPECT_EQ(list_item(2, "9, 21 "), "");
  EXPECT_EQ(list_item(3, "9, 21 "), "");
}

}  // namespace
}  // namespace tarni
