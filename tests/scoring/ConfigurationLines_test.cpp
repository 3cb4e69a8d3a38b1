#include "ConfigurationLines.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

TEST(ConfigurationLines, EveryLineBreakKindEndsALineAndMissingLinesAreEmpty) {
  const ConfigurationLines lines("a\r\nb\rc\nd\n\re");
  const char* expected[] = {"a", "b", "c", "d", "", "e", "", ""};
  for (size_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(lines.line(k), expected[k]) << k;
  EXPECT_EQ(split_lines("a\r\n"), (std::vector<std::string>{"a", ""}));
}

}  // namespace
}  // namespace tarni
