// Code-page marks and `.cpg` names, the single-byte code pages built from glibc's iconv,
// and the conversion of field bytes in a table's code page.
#include "DbfTableCodePage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "DbfPaths.h"

namespace dbf {

namespace {

constexpr char kUtf8[] = "UTF-8";
constexpr char kDefaultName[] = "CP852";
// A `.cpg` file holds one short name; anything longer is no code page name.
constexpr std::streamsize kLongestCpgText = 64;

struct TMarkEntry {
  uint8_t mark;
  const char* code_page;
};

// The dBase language-driver ids and the code pages they stand for, as the published
// table lists them.
constexpr TMarkEntry kMarks[] = {
    {0x01, "CP437"},
    {0x02, "CP850"},
    {0x03, "CP1252"},
    {0x04, "MACINTOSH"},
    {0x08, "CP865"},
    {0x09, "CP437"},
    {0x0A, "CP850"},
    {0x0B, "CP437"},
    {0x0D, "CP437"},
    {0x0E, "CP850"},
    {0x0F, "CP437"},
    {0x10, "CP850"},
    {0x11, "CP437"},
    {0x12, "CP850"},
    {0x13, "CP932"},
    {0x14, "CP850"},
    {0x15, "CP437"},
    {0x16, "CP850"},
    {0x17, "CP865"},
    {0x18, "CP437"},
    {0x19, "CP437"},
    {0x1A, "CP850"},
    {0x1B, "CP437"},
    {0x1C, "CP863"},
    {0x1D, "CP850"},
    {0x1F, "CP852"},
    {0x22, "CP852"},
    {0x23, "CP852"},
    {0x24, "CP860"},
    {0x25, "CP850"},
    {0x26, "CP866"},
    {0x37, "CP850"},
    {0x40, "CP852"},
    {0x4D, "CP936"},
    {0x4E, "CP949"},
    {0x4F, "CP950"},
    {0x50, "CP874"},
    {0x57, "CP1252"},
    {0x58, "CP1252"},
    {0x59, "CP1252"},
    {0x64, "CP852"},
    {0x65, "CP866"},
    {0x66, "CP865"},
    {0x67, "CP861"},
    {0x68, "CP895"},
    {0x69, "CP620"},
    {0x6A, "CP737"},
    {0x6B, "CP857"},
    {0x6C, "CP863"},
    {0x78, "CP950"},
    {0x79, "CP949"},
    {0x7A, "CP936"},
    {0x7B, "CP932"},
    {0x7C, "CP874"},
    {0x7D, "CP1255"},
    {0x7E, "CP1256"},
    {0x86, "CP737"},
    {0x87, "CP852"},
    {0x88, "CP857"},
    {0x96, "MAC-CYRILLIC"},
    {0x97, "MAC-CENTRALEUROPE"},
    {0x98, "MAC-GREEK"},
    {0xC8, "CP1250"},
    {0xC9, "CP1251"},
    {0xCA, "CP1254"},
    {0xCB, "CP1253"},
    {0xCC, "CP1257"},
};

// The character of one byte as `converter` reads it; nothing for a byte the code page
// leaves undefined, and a multi-byte code page is told by `lead`, set for a byte that
// only begins a character.
std::optional<char32_t> ConvertByte(iconv_t converter, unsigned char byte, bool& lead) {
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {};
  char* in_at = in;
  char* out_at = reinterpret_cast<char*>(out);
  size_t in_left = 1;
  size_t out_left = sizeof out;
  const size_t result = iconv(converter, &in_at, &in_left, &out_at, &out_left);
  const int error = errno;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (result == static_cast<size_t>(-1)) {
    lead = lead || error == EINVAL;
    return std::nullopt;
  }
  if (sizeof out - out_left != 4) return std::nullopt;
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24);
}

// The characters of the bytes 0x80 to 0xFF of code page `name` as glibc's iconv reads
// them, undefined bytes as the control characters of their number (as Windows1250 reads
// them); nothing when iconv does not know the code page or it is no single-byte code
// page whose lower half is ASCII.
std::optional<std::array<char16_t, 128>> HighHalfFromIconv(const std::string& name) {
  const iconv_t converter = iconv_open("UTF-32LE", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::array<char16_t, 128> high_half{};
  bool lead = false;
  bool usable = true;
  for (int byte = 0; byte < 256 && usable; ++byte) {
    const std::optional<char32_t> character = ConvertByte(converter, static_cast<unsigned char>(byte), lead);
    if (byte < 0x80) {
      usable = character == static_cast<char32_t>(byte);
    } else {
      usable = !lead && character.value_or(0) <= 0xFFFF;
      high_half[byte - 0x80] = static_cast<char16_t>(character.value_or(static_cast<char32_t>(byte)));
    }
  }
  iconv_close(converter);
  if (!usable) return std::nullopt;
  return high_half;
}

// The single-byte code page `name`, or null when the library cannot convert it. Tables
// built from iconv are built once and live as long as the process.
const TSingleByteCodePage* SingleByteCodePageNamed(const std::string& name) {
  if (name == kDefaultName) return &Cp852();
  if (name == "CP1250") return &Windows1250();
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<const TSingleByteCodePage>> built;
  const std::lock_guard lock(mutex);
  const auto [entry, inserted] = built.try_emplace(name);
  if (inserted) {
    if (const auto high_half = HighHalfFromIconv(name)) {
      entry->second = std::make_unique<const TSingleByteCodePage>(*high_half);
    }
  }
  return entry->second.get();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The code page a `.cpg` text names, as GIS programs write them ("UTF-8", "CP1250",
// "1250", "ANSI 1250", "ISO-8859-2", "88592", ...); nothing for a name we do not know.
std::optional<std::string> CodePageOfCpgText(std::string_view text) {
  std::string key;
  for (const char c : text) {
    if (c != ' ' && c != '-' && c != '_') key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (key == "UTF8" || key == "65001") return kUtf8;
  if (key == "KOI8R" || key == "20866") return "KOI8-R";
  std::string_view number = key;
  for (const std::string_view prefix : {"WINDOWS", "ANSI", "IBM", "CP", "ISO"}) {
    if (StartsWith(number, prefix)) {
      number.remove_prefix(prefix.size());
      break;
    }
  }
  if (StartsWith(number, "8859") && AllDigits(number.substr(4))) return "ISO-8859-" + std::string(number.substr(4));
  if (!AllDigits(number) || number.size() > 5) return std::nullopt;
  const int value = std::stoi(std::string(number));
  // Windows numbers the ISO code pages from 28591 (ISO-8859-1).
  if (value >= 28591 && value <= 28605) return "ISO-8859-" + std::to_string(value - 28590);
  return "CP" + std::to_string(value);
}

// The first line of the `.cpg` file beside the table, without blanks at its ends;
// nothing when there is none. A `.cpg` file that cannot be read is reported.
std::optional<std::string> CpgText(const std::string& table_file_name, const TDbfNoticeHandler& notice) {
  const std::string cpg = MatchExistingCase(std::filesystem::path(table_file_name).replace_extension(".cpg").string());
  std::error_code error;
  if (!std::filesystem::is_regular_file(cpg, error)) return std::nullopt;
  std::ifstream in(cpg, std::ios::binary);
  std::string text(kLongestCpgText, '\0');
  in.read(text.data(), kLongestCpgText);
  if (in.bad() || (!in && !in.eof())) {
    notice("Cannot read file " + cpg + ": the text fields are read in code page 852");
    return std::nullopt;
  }
  text.resize(static_cast<size_t>(in.gcount()));
  text = text.substr(0, text.find_first_of("\r\n"));
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void FallBackNotice(const TDbfNoticeHandler& notice, const std::string& finding) {
  notice(finding + ": the text fields are read in code page 852");
}

std::string CannotConvert(const std::string& code_page) {
  return code_page + ", which the library cannot convert (it converts single-byte code pages and UTF-8)";
}

}  // namespace

TTableCodePage::TTableCodePage() : name_(kDefaultName), single_byte_(&Cp852()) {}

TTableCodePage TableCodePage(uint8_t mark, const std::string& table_file_name, const TDbfNoticeHandler& notice) {
  TTableCodePage code_page;
  std::string named;
  if (mark != 0) {
    const auto entry =
        std::find_if(std::begin(kMarks), std::end(kMarks), [&](const TMarkEntry& m) { return m.mark == mark; });
    if (entry == std::end(kMarks)) {
      FallBackNotice(notice, "Unknown code page mark " + HexByte(mark));
      return code_page;
    }
    named = entry->code_page;
    code_page.source_ = TCodePageSource::Mark;
  } else {
    const std::optional<std::string> cpg_text = CpgText(table_file_name, notice);
    if (!cpg_text) return code_page;
    const std::optional<std::string> cpg_code_page = CodePageOfCpgText(*cpg_text);
    if (!cpg_code_page) {
      FallBackNotice(notice, "Unknown code page '" + *cpg_text + "' in the .cpg file of " + table_file_name);
      return code_page;
    }
    named = *cpg_code_page;
    code_page.source_ = TCodePageSource::CpgFile;
  }
  const TSingleByteCodePage* single_byte = named == kUtf8 ? nullptr : SingleByteCodePageNamed(named);
  if (named != kUtf8 && single_byte == nullptr) {
    FallBackNotice(notice, code_page.source_ == TCodePageSource::Mark
                               ? "Code page mark " + HexByte(mark) + " names " + CannotConvert(named)
                               : "The .cpg file of " + table_file_name + " names " + CannotConvert(named));
    return TTableCodePage();
  }
  code_page.name_ = named;
  code_page.single_byte_ = single_byte;
  // The library's own tables keep storing '?' for what code page 852 lacks.
  code_page.refuses_missing_ = !(code_page.source_ == TCodePageSource::Mark && mark == kOwnCodePageMark);
  return code_page;
}

std::string TTableCodePage::Decode(std::string_view bytes) const {
  std::string utf8;
  Decode(bytes, utf8);
  return utf8;
}

void TTableCodePage::DecodeUtf8(std::string_view bytes, std::string& utf8) {
  if (IsValidUtf8(bytes)) {
    utf8.assign(bytes);
    return;
  }
  utf8.clear();
  for (size_t position = 0; position < bytes.size();) {
    const auto character = Utf8CharacterAt(bytes, position);
    utf8 += character ? bytes.substr(position, character->length) : "?";
    position += character ? character->length : 1;
  }
}

std::string TTableCodePage::Encode(std::string_view utf8, size_t width, const std::string& field_name) const {
  if (single_byte_ == nullptr) return EncodeUtf8(utf8, width, field_name);
  std::string bytes = single_byte_->FromUtf8(utf8);
  // FromUtf8 stands one byte for each character, '?' for each the code page lacks (and
  // for each byte that is no UTF-8): a '?' that was none in the text names the character.
  if (refuses_missing_ && bytes.find('?') != std::string::npos) {
    size_t index = 0;
    for (size_t position = 0; position < utf8.size(); ++index) {
      const auto character = Utf8CharacterAt(utf8, position);
      const size_t length = character ? character->length : 1;
      if (bytes[index] == '?' && utf8[position] != '?') Refuse(utf8.substr(position, length), field_name);
      position += length;
    }
  }
  if (bytes.size() > width) bytes.resize(width);
  return bytes;
}

std::string TTableCodePage::EncodeUtf8(std::string_view utf8, size_t width, const std::string& field_name) const {
  size_t end = 0;
  for (size_t position = 0; position < utf8.size();) {
    const auto character = Utf8CharacterAt(utf8, position);
    if (!character) Refuse(utf8.substr(position, 1), field_name);
    position += character->length;
    if (position > width) break;
    end = position;
  }
  return std::string(utf8.substr(0, end));
}

void TTableCodePage::Refuse(std::string_view character, const std::string& field_name) const {
  const std::string shown =
      IsValidUtf8(character) ? std::string(character) : HexByte(static_cast<uint8_t>(character.front()));
  throw EDatabaseError("'" + shown + "' cannot be stored in field '" + field_name + "': code page " + name_ +
                       " of the table lacks it");
}

}  // namespace dbf
