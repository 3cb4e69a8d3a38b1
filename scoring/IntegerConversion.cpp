#include "IntegerConversion.h"

#include <charconv>
#include <string>

namespace tarni {

InvalidIntegerError::InvalidIntegerError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

int32_t to_integer(std::string_view text) {
  // from_chars takes a "-" but no "+", so the sign is handled here.
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '+' || negative)) {
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
    throw InvalidIntegerError(text);
  }
  // Parsed as a magnitude in 64 bits so that -2147483648 fits before the sign is applied.
  int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  const int64_t value = negative ? -magnitude : magnitude;
  if (error != std::errc() || end != digits.data() + digits.size() || value < INT32_MIN || value > INT32_MAX) {
    throw InvalidIntegerError(text);
  }
  return static_cast<int32_t>(value);
}

}  // namespace tarni
