#include "ConfigurationLines.h"

namespace tarni {

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      lines.back() += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    }
    lines.emplace_back();
  }
  return lines;
}

std::string with_line_breaks(std::string_view text, std::string_view line_break) {
  const std::vector<std::string> lines = split_lines(text);
  std::string joined = lines.front();
  for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
    joined += line_break;
    joined += *line;
  }
  return joined;
}

ConfigurationLines::ConfigurationLines(std::string_view text) : lines_(split_lines(text)) {}

std::string_view ConfigurationLines::line(size_t k) const {
  return k < lines_.size() ? std::string_view(lines_[k]) : std::string_view();
}

}  // namespace tarni
