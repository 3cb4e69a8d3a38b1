#include "IntegerConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace tarni {
namespace {

TEST(IntegerConversion, AcceptsSignAndDigitsWithin32Bits) {
  EXPECT_EQ(to_integer("10"), 10);
  EXPECT_EQ(to_integer("+7"), 7);
  EXPECT_EQ(to_integer("-007"), -7);
  EXPECT_EQ(to_integer("2147483647"), 2147483647);
  EXPECT_EQ(to_integer("-2147483648"), INT32_MIN);
}

TEST(IntegerConversion, RejectsEverythingElseNamingTheText) {
  for (const char* text : {"", "+", "-", " 1", "1 ", "1\t", "--1", "+-1", "1x", "0x10", "2147483648", "-2147483649",
                           "99999999999999999999"}) {
    try {
      to_integer(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const InvalidIntegerError& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace tarni
