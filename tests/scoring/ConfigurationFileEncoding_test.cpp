#include "ConfigurationFileEncoding.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

// "(jmeno BMP předlohy)" and "(počet polozek)" as the two encodings write them.
constexpr std::string_view kUtf8Text = "(jmeno BMP p\xC5\x99\x65\x64lohy)\n(po\xC4\x8D\x65t polozek)\n";
constexpr std::string_view kWindows1250Bytes = "(jmeno BMP p\xF8\x65\x64lohy)\r\n(po\xE8\x65t polozek)\r\n";

TEST(ConfigurationFileEncoding, ReadsUtf8AsItIsAndAnythingElseAsWindows1250) {
  EXPECT_EQ(decode_configuration_file(kUtf8Text), kUtf8Text);
  EXPECT_EQ(decode_configuration_file("\xEF\xBB\xBFKonfig."), "Konfig.");
  EXPECT_EQ(decode_configuration_file(kWindows1250Bytes),
            "(jmeno BMP p\xC5\x99\x65\x64lohy)\r\n(po\xC4\x8D\x65t polozek)\r\n");
}

TEST(ConfigurationFileEncoding, WritesWindows1250WithCrLfAndRoundTrips) {
  EXPECT_EQ(encode_configuration_file(kUtf8Text), kWindows1250Bytes);
  EXPECT_EQ(encode_configuration_file("a\rb\r\nc"), "a\r\nb\r\nc");
  EXPECT_EQ(encode_configuration_file(decode_configuration_file(kWindows1250Bytes)), kWindows1250Bytes);
}

}  // namespace
}  // namespace tarni
