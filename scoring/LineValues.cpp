#include "LineValues.h"

namespace tarni {

std::string line_value(std::string_view line, char separator) {
  const size_t end = line.find(separator);
  if (end == std::string_view::npos) {
    return {};
  }
  const std::string_view value = line.substr(0, end);
  return std::string(value.substr(0, value.find('#')));
}

std::string list_item(int k, std::string_view list_value) {
  const size_t first_space = list_value.find(' ');
  const std::string_view scanned =
      first_space == std::string_view::npos ? std::string_view() : list_value.substr(0, first_space);
  std::string current;
  int commas = 0;
  for (const char c : scanned) {
    if (c != ',') {
      current += c;
      continue;
    }
    ++commas;
    if (commas == k) {
      return current;
    }
    current.clear();
  }
  return current;
}

}  // namespace tarni
