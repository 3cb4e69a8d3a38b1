// The few UTF-8 operations the scoring core needs: checking that bytes are UTF-8,
// walking a text character by character, and building one from characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarni {

struct Utf8Character {
  char32_t code_point;
  size_t length;  // in bytes
};

// The character that starts at `position`, or nothing when the bytes there are not a
// well-formed UTF-8 sequence (overlong forms, surrogates and values past U+10FFFF are not).
std::optional<Utf8Character> utf8_character_at(std::string_view text, size_t position);

bool is_valid_utf8(std::string_view bytes);

void append_utf8(std::string& text, char32_t code_point);

// `text` without its last `count` characters; empty when it has no more than that.
std::string_view drop_last_characters(std::string_view text, size_t count);

}  // namespace tarni
