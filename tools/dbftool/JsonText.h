// JSON text for dbftool's machine-readable output.
#pragma once

#include <string>
#include <string_view>

namespace dbftool {

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace dbftool
