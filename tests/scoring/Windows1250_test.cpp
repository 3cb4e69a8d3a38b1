#include "Windows1250.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>
#include <string>

namespace tarni {
namespace {

// glibc's own conversion of one Windows-1250 byte, or nothing for a byte it leaves undefined.
std::optional<std::string> iconv_from_windows1250(char byte) {
  iconv_t converter = iconv_open("UTF-8", "WINDOWS-1250");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char output[8] = {};
  char* in = &byte;
  char* out = output;
  size_t in_left = 1;
  size_t out_left = sizeof output;
  const size_t result = iconv(converter, &in, &in_left, &out, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) {
    return std::nullopt;
  }
  return std::string(output, out);
}

TEST(Windows1250, TableAgreesWithIconvBothWays) {
  std::set<int> undefined;
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string bytes(1, static_cast<char>(byte));
    const std::optional<std::string> expected = iconv_from_windows1250(bytes[0]);
    if (!expected) {
      undefined.insert(byte);
      continue;
    }
    EXPECT_EQ(windows1250_to_utf8(bytes), *expected) << std::hex << byte;
    EXPECT_EQ(utf8_to_windows1250(*expected), bytes) << std::hex << byte;
  }
  EXPECT_EQ(undefined, (std::set<int>{0x81, 0x83, 0x88, 0x90, 0x98}));
}

TEST(Windows1250, UndefinedBytesRoundTripAndMissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(windows1250_to_utf8("\x81"), "\xC2\x81");
  EXPECT_EQ(utf8_to_windows1250("\xC2\x81"), "\x81");
  EXPECT_EQ(utf8_to_windows1250("a\xC3\xA0\xE2\x82\xAC\xF0\x9F\x98\x80z"), "a?\x80?z");  // à € 😀
  EXPECT_EQ(utf8_to_windows1250("a\xFFz"), "a?z");
}

}  // namespace
}  // namespace tarni
