// CSV text as RFC 4180 has it: records of comma-separated fields, a field in double
// quotes when it holds a comma, a quote or a line end, quotes inside doubled. dbftool
// writes records with CR LF and reads CR LF, LF or CR line ends.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dbftool {

// Appends one record to `text` as a line of CSV, CR LF included. Each field is looked at
// once to decide whether it needs quotes.
void AppendCsvRecord(std::string& text, const std::vector<std::string_view>& fields);

// Malformed CSV text; what() says what is wrong, line() where.
class TCsvError : public std::runtime_error {
 public:
  TCsvError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// Reads records from a stream of CSV text. A UTF-8 byte order mark at the start is
// skipped, and so are blank lines; line ends inside quoted fields are kept as they are.
// A record is held in memory whole, so its size is bounded: whatever the input (a
// device that never ends, a file without line ends), the reader holds about 1 MiB.
class TCsvReader {
 public:
  // No column holds more than 254 characters (of at most 4 UTF-8 bytes), nor has a
  // table more than 4095 columns: anything far beyond is no table's data.
  static constexpr size_t kLongestValue = 64 * 1024;
  static constexpr size_t kLongestRecord = 1024 * 1024;
  static constexpr size_t kMostValues = 4095;

  explicit TCsvReader(std::istream& input) : input_(input) {}

  // The next record into `fields`; false at the end of the input. Throws TCsvError for a
  // quoted field that is never closed or that is followed by anything but a separator,
  // and for a record beyond the limits above (naming the line on which it begins).
  bool ReadRecord(std::vector<std::string>& fields);

  // The line (from 1) on which the record last read begins.
  int RecordLine() const { return record_line_; }

 private:
  // The next byte, or EOF; counts lines.
  int Next();
  // Consumes the LF of a CR LF pair.
  void SkipLineFeedAfter(int c);
  void SkipByteOrderMark();
  // Reads a quoted field after its opening quote; returns the byte after the closing quote.
  int ReadQuoted(std::string& field);
  // Reads an unquoted field starting with `c`; returns the byte that ends it.
  int ReadUnquoted(int c, std::string& field);
  // Adds one byte to `field`, within the limits.
  void Append(std::string& field, int c);

  std::istream& input_;
  int line_ = 1;
  int record_line_ = 0;
  size_t record_bytes_ = 0;
  bool started_ = false;
};

}  // namespace dbftool
