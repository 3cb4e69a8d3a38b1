// Writing and reading CSV text (RFC 4180).
#include "CsvText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace dbftool {

namespace {

bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

// The characters that make a field quoted: the separator, the quote and line ends. All
// lie below the first byte after the separator, which few characters of a field do.
bool IsSpecial(char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; }
constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;
constexpr uint64_t kAfterSeparator = ',' + 1;

// Whether any byte of the word lies below kAfterSeparator (exact for limits up to 128).
bool HasLowByte(uint64_t word) { return ((word - kOnes * kAfterSeparator) & ~word & kHighBits) != 0; }

// One look at each byte, eight at a time: only a word with a low byte is looked into.
bool NeedsQuotes(std::string_view text) {
  size_t at = 0;
  for (uint64_t word; at + sizeof word <= text.size(); at += sizeof word) {
    std::memcpy(&word, text.data() + at, sizeof word);
    if (HasLowByte(word) && std::any_of(text.begin() + at, text.begin() + at + sizeof word, IsSpecial)) return true;
  }
  return std::any_of(text.begin() + at, text.end(), IsSpecial);
}

void AppendCsvField(std::string& text, std::string_view field) {
  if (!NeedsQuotes(field)) {
    text += field;
    return;
  }
  text += '"';
  for (const char c : field) {
    if (c == '"') text += '"';
    text += c;
  }
  text += '"';
}

}  // namespace

void AppendCsvRecord(std::string& text, const std::vector<std::string_view>& fields) {
  // A lone empty field would make a blank line, which readers skip.
  if (fields.size() == 1 && fields.front().empty()) {
    text += "\"\"\r\n";
    return;
  }
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text += ',';
    AppendCsvField(text, fields[i]);
  }
  text += "\r\n";
}

int TCsvReader::Next() {
  const int c = input_.get();
  if (c == '\n') ++line_;
  // A CR ends a line unless an LF follows, which then counts it.
  if (c == '\r' && input_.peek() != '\n') ++line_;
  return c;
}

void TCsvReader::SkipLineFeedAfter(int c) {
  if (c == '\r' && input_.peek() == '\n') Next();
}

void TCsvReader::SkipByteOrderMark() {
  static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  for (const char expected : kByteOrderMark) {
    if (input_.peek() != static_cast<unsigned char>(expected)) return;
    input_.get();
  }
}

bool TCsvReader::ReadRecord(std::vector<std::string>& fields) {
  if (!started_) {
    SkipByteOrderMark();
    started_ = true;
  }
  fields.clear();
  int c = Next();
  while (IsLineEnd(c)) {
    SkipLineFeedAfter(c);
    c = Next();
  }
  if (c == EOF) return false;
  record_line_ = line_;
  record_bytes_ = 0;
  for (;;) {
    if (fields.size() == kMostValues) {
      throw TCsvError(record_line_, "more than " + std::to_string(kMostValues) +
                                        " values in a row (a table has at most that many fields)");
    }
    std::string field;
    c = c == '"' ? ReadQuoted(field) : ReadUnquoted(c, field);
    fields.push_back(std::move(field));
    if (c != ',') break;
    c = Next();
  }
  SkipLineFeedAfter(c);
  return true;
}

int TCsvReader::ReadQuoted(std::string& field) {
  const int opened_on = line_;
  for (;;) {
    const int c = Next();
    if (c == EOF) throw TCsvError(opened_on, "a quoted field is not closed");
    if (c != '"') {
      Append(field, c);
    } else if (input_.peek() == '"') {
      Append(field, Next());
    } else {
      const int after = Next();
      if (after != ',' && after != EOF && !IsLineEnd(after)) {
        throw TCsvError(line_, "text after the closing quote of a field");
      }
      return after;
    }
  }
}

int TCsvReader::ReadUnquoted(int c, std::string& field) {
  while (c != ',' && c != EOF && !IsLineEnd(c)) {
    Append(field, c);
    c = Next();
  }
  return c;
}

void TCsvReader::Append(std::string& field, int c) {
  if (field.size() == kLongestValue) {
    throw TCsvError(record_line_, "a value longer than 64 KiB (no field holds more than 254 characters)");
  }
  if (++record_bytes_ > kLongestRecord) throw TCsvError(record_line_, "a row longer than 1 MiB");
  field += static_cast<char>(c);
}

}  // namespace dbftool
