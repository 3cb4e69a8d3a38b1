// Writing and reading CSV text (RFC 4180).
#include "CsvText.h"

#include <array>

namespace dbftool {

namespace {

bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

// The characters that make a field quoted: the separator, the quote and line ends.
constexpr std::array<bool, 256> kNeedsQuotes = [] {
  std::array<bool, 256> table{};
  for (const unsigned char c : {',', '"', '\r', '\n'}) table[c] = true;
  return table;
}();

bool NeedsQuotes(std::string_view text) {
  for (const char c : text) {
    if (kNeedsQuotes[static_cast<unsigned char>(c)]) return true;
  }
  return false;
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

void AppendCsvRecord(std::string& text, const std::vector<std::string>& fields) {
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
