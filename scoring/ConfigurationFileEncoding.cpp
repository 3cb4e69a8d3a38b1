#include "ConfigurationFileEncoding.h"

#include "ConfigurationLines.h"
#include "DbfCodePage.h"

namespace tarni {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Every character of `utf8` has a byte in Windows-1250: the text survives the round trip.
bool windows1250_holds(std::string_view utf8) {
  return dbf::Windows1250().ToUtf8(dbf::Windows1250().FromUtf8(utf8)) == utf8;
}

}  // namespace

std::string decode_configuration_file(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) return std::string(bytes.substr(kByteOrderMark.size()));
  if (dbf::IsValidUtf8(bytes) && windows1250_holds(bytes)) return std::string(bytes);
  return dbf::Windows1250().ToUtf8(bytes);
}

std::string encode_configuration_file(std::string_view utf8_text) {
  const std::string text = with_line_breaks(utf8_text, "\r\n");
  if (windows1250_holds(text)) return dbf::Windows1250().FromUtf8(text);
  return std::string(kByteOrderMark) + text;
}

}  // namespace tarni
