// JSON string literals: quotes, backslashes and control characters escaped, everything
// else passed through as UTF-8.
#include "JsonText.h"

#include <cstdio>

namespace dbftool {

std::string JsonString(std::string_view text) {
  std::string json;
  AppendJsonString(json, text);
  return json;
}

void AppendJsonStringArray(std::string& json, const std::vector<std::string_view>& texts) {
  json += '[';
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) json += ", ";
    AppendJsonString(json, texts[i]);
  }
  json += ']';
}

void AppendJsonString(std::string& json, std::string_view text) {
  json += '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\b':
        json += "\\b";
        break;
      case '\f':
        json += "\\f";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          json += escaped;
        } else {
          json += c;
        }
    }
  }
  json += '"';
}

}  // namespace dbftool
