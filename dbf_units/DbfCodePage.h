// The program's text is UTF-8; files hold single-byte code pages: code page 852 in the
// character fields of table files, Windows-1250 in configuration files. This unit holds
// the UTF-8 walking every layer needs and the conversions between UTF-8 and both code
// pages. A character that a code page lacks, or a byte that is no UTF-8, becomes '?'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dbf {

// ---- UTF-8 ----

struct TUtf8Character {
  char32_t code_point;
  size_t length;  // in bytes
};

// REQUIRES: position < text.size().
// The character that starts at `position`, or nothing when the bytes there are no
// well-formed UTF-8 sequence (overlong forms, surrogates, values past U+10FFFF, stray
// continuation bytes and sequences cut short are not).
std::optional<TUtf8Character> Utf8CharacterAt(std::string_view text, size_t position);

bool IsValidUtf8(std::string_view bytes);

// True when every byte is below 0x80: such a text is the same in UTF-8 and in both code
// pages. Inline, as every read of a text field asks it.
// Eight bytes at a time, without an early exit: field texts are short and mostly ASCII.
// A text of eight bytes or more ends with a last word that may overlap the one before.
inline bool IsAscii(std::string_view text) {
  constexpr uint64_t kHighBits = 0x8080808080808080;
  uint64_t bits = 0;
  uint64_t word = 0;
  if (text.size() < sizeof word) {
    for (const char c : text) bits |= static_cast<unsigned char>(c);
    return (bits & kHighBits) == 0;
  }
  for (size_t pos = 0; pos + sizeof word < text.size(); pos += sizeof word) {
    std::memcpy(&word, text.data() + pos, sizeof word);
    bits |= word;
  }
  std::memcpy(&word, text.data() + text.size() - sizeof word, sizeof word);
  return ((bits | word) & kHighBits) == 0;
}

void AppendUtf8(std::string& text, char32_t code_point);

// Number of characters (code points) of a UTF-8 text.
size_t Utf8Length(std::string_view utf8);
// The first `count` characters of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, size_t count);
// The text without its last `count` characters; empty when it has no more than that.
std::string_view Utf8DropLast(std::string_view utf8, size_t count);

// True when the two UTF-8 texts differ at most in the letter case of ASCII and Latin
// letters (those of code page 852 among them), as file names on the systems the tables
// come from compare.
bool Utf8EqualIgnoringCase(std::string_view a, std::string_view b);

// ---- Single-byte code pages ----

// A code page whose bytes below 0x80 are ASCII; the table gives the characters of the
// bytes 0x80 to 0xFF, all of them below U+10000.
class TSingleByteCodePage {
 public:
  explicit TSingleByteCodePage(const std::array<char16_t, 128>& high_half);

  std::string ToUtf8(std::string_view bytes) const;
  // As ToUtf8, into `utf8` (its contents replaced), reusing its storage.
  void AssignUtf8(std::string_view bytes, std::string& utf8) const;
  std::string FromUtf8(std::string_view utf8) const;

 private:
  char ByteOf(char32_t code_point) const;

  struct TEntry {
    char16_t code_point;
    unsigned char byte;
  };

  std::array<char16_t, 128> high_half_;
  // Below U+0300 lie Latin-1 and Latin Extended-A, with every letter of both code pages:
  // those characters are looked up directly (0 where the code page lacks one), the few
  // others by a search of the entries sorted by code point.
  std::array<unsigned char, 0x300> latin_bytes_{};
  std::vector<TEntry> other_entries_;
};

// Code page 852, the OEM code page of the Czech systems the tables come from.
const TSingleByteCodePage& Cp852();
// Windows-1250. The five bytes it leaves undefined read as the control characters of the
// same number, as the systems the files come from read them, so they survive a round trip.
const TSingleByteCodePage& Windows1250();

// Character field bytes and the program's text: Cp852().ToUtf8 and Cp852().FromUtf8.
std::string OemToUtf8(std::string_view oem);
std::string Utf8ToOem(std::string_view utf8);

}  // namespace dbf
