#include "ConfigurationFileEncoding.h"

#include <vector>

#include "ConfigurationLines.h"
#include "Utf8.h"
#include "Windows1250.h"

namespace tarni {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string decode_configuration_file(std::string_view bytes) {
  if (!is_valid_utf8(bytes)) {
    return windows1250_to_utf8(bytes);
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
  return utf8_to_windows1250(text);
}

}  // namespace tarni
