// UTF-8 walking and the single-byte code pages 852 and Windows-1250.
#include "DbfCodePage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace dbf {

namespace {

// The characters of the bytes 0x80 to 0xFF of code page 852.
constexpr std::array<char16_t, 128> kCp852HighHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7, 0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE,
    0x0179, 0x00C4, 0x0106, 0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A, 0x015B, 0x00D6,
    0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D,
    0x017E, 0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x011A, 0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE, 0x011B, 0x2518, 0x250C,
    0x2588, 0x2584, 0x0162, 0x016E, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4, 0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

// The characters of the bytes 0x80 to 0xFF of Windows-1250.
constexpr std::array<char16_t, 128> kWindows1250HighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the sequence that a lead byte announces, 0 for a byte that cannot lead.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The smallest code point that needs a sequence of each length; anything below is overlong.
constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

// Every character of a single-byte code page lies below U+10000: one to three UTF-8 bytes.
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

std::optional<TUtf8Character> Utf8CharacterAt(std::string_view text, size_t position) {
  const auto lead = static_cast<unsigned char>(text[position]);
  const size_t length = SequenceLength(lead);
  if (length == 0 || position + length > text.size()) return std::nullopt;
  char32_t code_point = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[position + i]);
    if (!IsContinuation(byte)) return std::nullopt;
    code_point = (code_point << 6) | (byte & 0x3F);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < kSmallestOfLength[length] || surrogate || code_point > 0x10FFFF) return std::nullopt;
  return TUtf8Character{code_point, length};
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t position = 0; position < bytes.size();) {
    const auto character = Utf8CharacterAt(bytes, position);
    if (!character) return false;
    position += character->length;
  }
  return true;
}

void AppendUtf8(std::string& text, char32_t code_point) {
  if (code_point < 0x80) {
    text += static_cast<char>(code_point);
    return;
  }
  const size_t length = code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
  constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  text += static_cast<char>(kLeadMarks[length] | (code_point >> (6 * (length - 1))));
  for (size_t i = length - 1; i > 0; --i) text += static_cast<char>(0x80 | ((code_point >> (6 * (i - 1))) & 0x3F));
}

size_t Utf8Length(std::string_view utf8) {
  return static_cast<size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return !IsContinuation(static_cast<unsigned char>(c)); }));
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

std::string_view Utf8DropLast(std::string_view utf8, size_t count) {
  size_t end = utf8.size();
  for (; count > 0 && end > 0; --count) {
    do {
      --end;
    } while (end > 0 && IsContinuation(static_cast<unsigned char>(utf8[end])));
  }
  return utf8.substr(0, end);
}

// Undecodable bytes match only the very same bytes.
bool Utf8EqualIgnoringCase(std::string_view a, std::string_view b) {
  size_t pos_a = 0;
  size_t pos_b = 0;
  while (pos_a < a.size() && pos_b < b.size()) {
    const auto char_a = Utf8CharacterAt(a, pos_a);
    const auto char_b = Utf8CharacterAt(b, pos_b);
    if (!char_a || !char_b) {
      if (char_a || char_b || a[pos_a] != b[pos_b]) return false;
      ++pos_a;
      ++pos_b;
      continue;
    }
    if (LowerCaseLatin(char_a->code_point) != LowerCaseLatin(char_b->code_point)) return false;
    pos_a += char_a->length;
    pos_b += char_b->length;
  }
  return pos_a == a.size() && pos_b == b.size();
}

TSingleByteCodePage::TSingleByteCodePage(const std::array<char16_t, 128>& high_half) : high_half_(high_half) {
  for (size_t i = 0; i < high_half_.size(); ++i) {
    const auto byte = static_cast<unsigned char>(0x80 + i);
    if (high_half_[i] < latin_bytes_.size()) {
      latin_bytes_[high_half_[i]] = byte;
    } else {
      other_entries_.push_back({high_half_[i], byte});
    }
  }
  std::sort(other_entries_.begin(), other_entries_.end(),
            [](const TEntry& a, const TEntry& b) { return a.code_point < b.code_point; });
}

std::string TSingleByteCodePage::ToUtf8(std::string_view bytes) const {
  std::string utf8;
  AssignUtf8(bytes, utf8);
  return utf8;
}

// Most stored texts are plain ASCII, which reads the same in both encodings; converting
// them character by character would cost more than reading the record itself.
void TSingleByteCodePage::AssignUtf8(std::string_view bytes, std::string& utf8) const {
  if (IsAscii(bytes)) {
    utf8.assign(bytes);
    return;
  }
  const auto code_of = [this](char c) -> char16_t {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 ? byte : high_half_[byte - 0x80];
  };
  // Sized first, so that the text is written once into storage of its own length.
  size_t length = 0;
  for (const char c : bytes) length += Utf8Width(code_of(c));
  utf8.resize(length);
  char* at = utf8.data();
  for (const char c : bytes) at = PutUtf8(at, code_of(c));
}

std::string TSingleByteCodePage::FromUtf8(std::string_view utf8) const {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string bytes;
  bytes.reserve(utf8.size());
  for (size_t position = 0; position < utf8.size();) {
    const auto character = Utf8CharacterAt(utf8, position);
    bytes += character ? ByteOf(character->code_point) : '?';
    position += character ? character->length : 1;
  }
  return bytes;
}

char TSingleByteCodePage::ByteOf(char32_t code_point) const {
  if (code_point < 0x80) return static_cast<char>(code_point);
  if (code_point < latin_bytes_.size()) {
    return latin_bytes_[code_point] != 0 ? static_cast<char>(latin_bytes_[code_point]) : '?';
  }
  const auto found = std::lower_bound(other_entries_.begin(), other_entries_.end(), code_point,
                                      [](const TEntry& entry, char32_t wanted) { return entry.code_point < wanted; });
  if (found == other_entries_.end() || found->code_point != code_point) return '?';
  return static_cast<char>(found->byte);
}

const TSingleByteCodePage& Cp852() {
  static const TSingleByteCodePage code_page(kCp852HighHalf);
  return code_page;
}

const TSingleByteCodePage& Windows1250() {
  static const TSingleByteCodePage code_page(kWindows1250HighHalf);
  return code_page;
}

std::string OemToUtf8(std::string_view oem) { return Cp852().ToUtf8(oem); }

std::string Utf8ToOem(std::string_view utf8) { return Cp852().FromUtf8(utf8); }

}  // namespace dbf
