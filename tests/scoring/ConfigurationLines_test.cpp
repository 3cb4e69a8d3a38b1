#include "ConfigurationLines.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

TEST(ConfigurationLines, EveryLineBreakKindEndsALine) {
  const ConfigurationLines lines("a\r\nb\rc\nd\n\re");
  const std::vector<std::string_view> expected = {"a", "b", "c", "d", "", "e"};
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(lines.line(k), expected[k]) << k;
  }
  EXPECT_EQ(lines.line(6), "");
  EXPECT_EQ(lines.line(1000), "");
}

TEST(ConfigurationLines, TrailingBreakGivesEmptyLastLine) {
  EXPECT_EQ(split_lines("a\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(split_lines(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace tarni
