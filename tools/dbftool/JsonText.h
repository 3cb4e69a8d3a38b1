// JSON text for dbftool's machine-readable output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dbftool {

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// Appends the literal of JsonString to `json`.
void AppendJsonString(std::string& json, std::string_view text);
// Appends the texts to `json` as JsonStringArray writes them.
void AppendJsonStringArray(std::string& json, const std::vector<std::string_view>& texts);

// A JSON array of the items, each written by `format`, on one line.
template <typename Item, typename Format>
std::string JsonArray(const std::vector<Item>& items, Format format) {
  std::string json = "[";
  for (size_t i = 0; i < items.size(); ++i) json += (i > 0 ? ", " : "") + format(items[i]);
  return json + "]";
}

inline std::string JsonStringArray(const std::vector<std::string>& texts) {
  std::string json;
  AppendJsonStringArray(json, std::vector<std::string_view>(texts.begin(), texts.end()));
  return json;
}

}  // namespace dbftool
