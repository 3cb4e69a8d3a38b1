#include "Utf8.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

TEST(Utf8, ValidityFollowsTheWellFormedSequences) {
  EXPECT_TRUE(is_valid_utf8(""));
  EXPECT_TRUE(is_valid_utf8("plain ASCII"));
  EXPECT_TRUE(is_valid_utf8("p\xC5\x99\x65\x64loha \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(is_valid_utf8("p\xF8\x65\x64loha"));  // Windows-1250 "ř"
  EXPECT_FALSE(is_valid_utf8("\xC5"));               // cut short
  EXPECT_FALSE(is_valid_utf8("\xC0\xAF"));           // overlong "/"
  EXPECT_FALSE(is_valid_utf8("\xE0\x80\xAF"));       // overlong "/"
  EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80"));       // surrogate
  EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80"));   // past U+10FFFF
  EXPECT_FALSE(is_valid_utf8("\x80"));               // lone continuation
}

}  // namespace
}  // namespace tarni
