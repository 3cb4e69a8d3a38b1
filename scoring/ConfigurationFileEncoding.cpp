#include "ConfigurationFileEncoding.h"

#include <vector>

#include "ConfigurationLines.h"
#include "DbfCodePage.h"

namespace tarni {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string decode_configuration_file(std::string_view bytes) {
  if (!dbf::IsValidUtf8(bytes)) {
    return dbf::Windows1250().ToUtf8(bytes);
  }
  if (bytes.starts_with(kByteOrderMark)) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  return std::string(bytes);
}

std::string encode_configuration_file(std::string_view utf8_text) {
  const std::vector<std::string> lines = split_lines(utf8_text);
  std::string text = lines.front();
  for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
    text += "\r\n";
    text += *line;
  }
  return dbf::Windows1250().FromUtf8(text);
}

}  // namespace tarni
