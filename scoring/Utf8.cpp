#include "Utf8.h"

namespace tarni {

namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the sequence that a lead byte announces, 0 for a byte that cannot lead.
size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The smallest code point that needs a sequence of each length; anything below is overlong.
constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

}  // namespace

std::optional<Utf8Character> utf8_character_at(std::string_view text, size_t position) {
  const auto lead = static_cast<unsigned char>(text[position]);
  const size_t length = sequence_length(lead);
  if (length == 0 || position + length > text.size()) {
    return std::nullopt;
  }
  char32_t code_point = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[position + i]);
    if (!is_continuation(byte)) {
      return std::nullopt;
    }
    code_point = (code_point << 6) | (byte & 0x3F);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < kSmallestOfLength[length] || surrogate || code_point > 0x10FFFF) {
    return std::nullopt;
  }
  return Utf8Character{code_point, length};
}

bool is_valid_utf8(std::string_view bytes) {
  for (size_t position = 0; position < bytes.size();) {
    const auto character = utf8_character_at(bytes, position);
    if (!character) {
      return false;
    }
    position += character->length;
  }
  return true;
}

void append_utf8(std::string& text, char32_t code_point) {
  if (code_point < 0x80) {
    text += static_cast<char>(code_point);
    return;
  }
  const size_t length = code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
  constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  text += static_cast<char>(kLeadMarks[length] | (code_point >> (6 * (length - 1))));
  for (size_t i = length - 1; i > 0; --i) {
    text += static_cast<char>(0x80 | ((code_point >> (6 * (i - 1))) & 0x3F));
  }
}

std::string_view drop_last_characters(std::string_view text, size_t count) {
  size_t end = text.size();
  for (; count > 0 && end > 0; --count) {
    do {
      --end;
    } while (end > 0 && is_continuation(static_cast<unsigned char>(text[end])));
  }
  return text.substr(0, end);
}

}  // namespace tarni
