// The standard text-to-integer conversion of configuration values: an optional sign and
// decimal digits, nothing before or after them, within the 32-bit signed range.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace tarni {

// Raised for a text that is not an integer; the message names the text in quotes
// ("'' is not a valid integer value" for an empty one).
class InvalidIntegerError : public std::runtime_error {
 public:
  explicit InvalidIntegerError(std::string_view text);
};

int32_t to_integer(std::string_view text);

}  // namespace tarni
