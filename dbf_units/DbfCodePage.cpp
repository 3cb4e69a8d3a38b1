// Code page 852 and UTF-8: the conversions of character field bytes, the character
// counts of UTF-8 texts, and the letter-case comparison of file names.
#include "DbfCodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace dbf {

namespace {

// The Unicode code points of the bytes 0x80 to 0xFF of code page 852; the bytes below
// 0x80 are ASCII.
constexpr std::array<char16_t, 128> kCp852HighHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

constexpr char32_t kInvalid = 0xFFFFFFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the character at `pos` and moves `pos` past it. A byte that does not start a
// well-formed sequence (stray continuation, overlong form, surrogate, beyond U+10FFFF,
// cut short) gives kInvalid and is skipped on its own.
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  size_t length;
  char32_t code;
  char32_t smallest;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, smallest = 0x10000;
  } else {
    ++pos;
    return kInvalid;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kInvalid;
  }
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) {
      ++pos;
      return kInvalid;
    }
    code = (code << 6) | (byte & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code < smallest || surrogate || code > 0x10FFFF) {
    ++pos;
    return kInvalid;
  }
  pos += length;
  return code;
}

// Every character of code page 852 lies below U+10000: one to three UTF-8 bytes.
size_t Utf8Width(char16_t code) { return code < 0x80 ? 1 : code < 0x800 ? 2 : 3; }

// Writes the UTF-8 bytes of `code` at `at`; returns the position after them.
char* PutUtf8(char* at, char16_t code) {
  if (code < 0x80) {
    *at++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *at++ = static_cast<char>(0xC0 | (code >> 6));
    *at++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *at++ = static_cast<char>(0xE0 | (code >> 12));
    *at++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *at++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return at;
}

struct TCp852Entry {
  char16_t code;
  unsigned char byte;
};

// The high half sorted by code point, for the way back from Unicode.
std::array<TCp852Entry, 128> SortedCp852Entries() {
  std::array<TCp852Entry, 128> entries{};
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i] = {kCp852HighHalf[i], static_cast<unsigned char>(0x80 + i)};
  }
  std::sort(entries.begin(), entries.end(),
            [](const TCp852Entry& a, const TCp852Entry& b) { return a.code < b.code; });
  return entries;
}

// Below U+0300 lie Latin-1 and Latin Extended-A, and with them every letter of code page
// 852: those characters of a name are looked up directly instead of by a search.
constexpr char32_t kDirectLookupEnd = 0x300;

// The byte of each character below kDirectLookupEnd; 0 where the code page lacks it.
std::array<unsigned char, kDirectLookupEnd> LatinCp852Bytes() {
  std::array<unsigned char, kDirectLookupEnd> bytes{};
  for (size_t i = 0; i < kCp852HighHalf.size(); ++i) {
    if (kCp852HighHalf[i] < kDirectLookupEnd) bytes[kCp852HighHalf[i]] = static_cast<unsigned char>(0x80 + i);
  }
  return bytes;
}

char Cp852ByteOf(char32_t code) {
  if (code < 0x80) return static_cast<char>(code);
  if (code < kDirectLookupEnd) {
    static const std::array<unsigned char, kDirectLookupEnd> latin = LatinCp852Bytes();
    return latin[code] != 0 ? static_cast<char>(latin[code]) : '?';
  }
  static const std::array<TCp852Entry, 128> entries = SortedCp852Entries();
  const auto found = std::lower_bound(
      entries.begin(), entries.end(), code,
      [](const TCp852Entry& entry, char32_t wanted) { return entry.code < wanted; });
  if (found == entries.end() || found->code != code) return '?';
  return static_cast<char>(found->byte);
}

// Lower-case partner of the ASCII, Latin-1 and Latin Extended-A capitals; every other
// character stands for itself.
char32_t LowerCaseLatin(char32_t code) {
  if (code >= 'A' && code <= 'Z') return code + 0x20;
  if (code >= 0xC0 && code <= 0xDE && code != 0xD7) return code + 0x20;
  const bool even = code % 2 == 0;
  if (code >= 0x100 && code <= 0x137 && even) return code + 1;
  if (code >= 0x139 && code <= 0x148 && !even) return code + 1;
  if (code >= 0x14A && code <= 0x177 && even) return code + 1;
  if (code == 0x178) return 0xFF;
  if (code >= 0x179 && code <= 0x17E && !even) return code + 1;
  return code;
}

}  // namespace

// Eight bytes at a time, without an early exit: field texts are short and mostly ASCII.
// A text of eight bytes or more ends with a last word that may overlap the one before.
bool IsAscii(std::string_view text) {
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

std::string OemToUtf8(std::string_view oem) {
  // Most stored texts are plain ASCII, which reads the same in both encodings; converting
  // them character by character would cost more than reading the record itself.
  if (IsAscii(oem)) return std::string(oem);
  const auto code_of = [](char c) -> char16_t {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 ? byte : kCp852HighHalf[byte - 0x80];
  };
  // Sized first, so that a short name stays in the string's own buffer instead of a
  // heap block reserved for the longest possible result.
  size_t length = 0;
  for (const char c : oem) length += Utf8Width(code_of(c));
  std::string out(length, '\0');
  char* at = out.data();
  for (const char c : oem) at = PutUtf8(at, code_of(c));
  return out;
}

std::string Utf8ToOem(std::string_view utf8) {
  // As in OemToUtf8: an ASCII text is its own conversion.
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const char32_t code = DecodeUtf8(utf8, pos);
    out += code == kInvalid ? '?' : Cp852ByteOf(code);
  }
  return out;
}

size_t Utf8Length(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return !IsContinuation(static_cast<unsigned char>(c));
  }));
}

std::string Utf8Left(std::string_view utf8, size_t count) {
  // No text has more characters than bytes: a short one needs no counting.
  if (utf8.size() <= count) return std::string(utf8);
  size_t characters = 0;
  for (size_t pos = 0; pos < utf8.size(); ++pos) {
    if (IsContinuation(static_cast<unsigned char>(utf8[pos]))) continue;
    if (characters == count) return std::string(utf8.substr(0, pos));
    ++characters;
  }
  return std::string(utf8);
}

bool Utf8EqualIgnoringCase(std::string_view a, std::string_view b) {
  size_t pos_a = 0;
  size_t pos_b = 0;
  while (pos_a < a.size() && pos_b < b.size()) {
    const size_t start_a = pos_a;
    const size_t start_b = pos_b;
    const char32_t code_a = DecodeUtf8(a, pos_a);
    const char32_t code_b = DecodeUtf8(b, pos_b);
    // Undecodable bytes match only the very same bytes.
    if (code_a == kInvalid || code_b == kInvalid) {
      if (a.substr(start_a, pos_a - start_a) != b.substr(start_b, pos_b - start_b)) return false;
      continue;
    }
    if (LowerCaseLatin(code_a) != LowerCaseLatin(code_b)) return false;
  }
  return pos_a == a.size() && pos_b == b.size();
}

}  // namespace dbf
