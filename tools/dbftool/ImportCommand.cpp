// `dbftool import FILE [CSV]`: appends the rows of a CSV file (or of standard input) to a
// table. The header row names the fields; each row is one append, its values assigned
// through the field objects, then posted. A row that fails is cancelled and ends the
// import; the rows before it stay in the table. The rows reach the device together when
// the table closes at the end. Other programs may append to the same table meanwhile:
// the append lock keeps every record whole and in its own place.
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "CsvText.h"
#include "DbfCodePage.h"
#include "DbfErrors.h"
#include "DbfFileIO.h"
#include "DbfForeignFields.h"
#include "DbfToolCommands.h"
#include "DbfValueText.h"
#include "JsonText.h"
#include "dbf.h"

namespace dbftool {

namespace {

struct TCsvSource {
  std::istream& input;
  std::string name;  // for messages: the CSV argument, or "standard input"
};

std::string Trimmed(const std::string& text) { return std::string(dbf::TrimControlCharacters(text)); }

// The header row's fields, found by name without regard to letter case.
std::vector<dbf::TField*> HeaderFields(const dbf::TDbf& table, const std::vector<std::string>& names) {
  std::vector<dbf::TField*> fields;
  std::set<const dbf::TField*> named;
  for (const std::string& name : names) {
    dbf::TField& field = table.fieldNamed(Trimmed(name));
    if (!named.insert(&field).second) throw std::runtime_error("Field '" + field.FieldName() + "' is named twice");
    fields.push_back(&field);
  }
  return fields;
}

bool SameNumber(const std::string& text, double stored) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double given = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), given);
  return result.ec == std::errc() && given == stored;
}

// Whether the field holds what was given: a text longer than its field is cut, a
// character code page 852 lacks becomes '?', a number is rounded to its column's
// decimals. Such a row is still stored, as the field objects do it, but not silently.
bool ReadsBackAsGiven(const dbf::TField& field, const std::string& given) {
  const std::string trimmed = Trimmed(given);
  if (dynamic_cast<const dbf::TStringField*>(&field) != nullptr) return field.readString() == trimmed;
  if (const auto* number = dynamic_cast<const dbf::TFloatField*>(&field)) {
    return trimmed.empty() || SameNumber(trimmed, number->readFloat());
  }
  return true;
}

// A value as a note quotes it: escaped as a JSON string, so that the note stays one line
// of plain text, and cut after its first 40 characters, so that it stays short.
std::string QuotedForNote(const std::string& text) {
  constexpr size_t kShownCharacters = 40;
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool starts_character = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (starts_character && characters++ == kShownCharacters) return JsonString(text.substr(0, i) + "…");
  }
  return JsonString(text);
}

void AssignValue(dbf::TField& field, const std::string& value) {
  if (!dbf::IsValidUtf8(value)) {
    throw std::runtime_error("the value for " + field.FieldName() + " is not UTF-8 text");
  }
  field.writeString(value);
}

// Appends one row and returns the notes on values that were stored otherwise than given.
// On any failure the new record is cancelled before the error propagates.
std::vector<std::string> AppendRow(dbf::TDbf& table, const std::vector<dbf::TField*>& fields,
                                   const std::vector<std::string>& values) {
  if (values.size() != fields.size()) {
    throw std::runtime_error(std::to_string(values.size()) + " values, but the header row names " +
                             std::to_string(fields.size()) + " fields");
  }
  std::vector<std::string> notes;
  table.startAppend();
  try {
    for (size_t i = 0; i < fields.size(); ++i) {
      AssignValue(*fields[i], values[i]);
      if (!ReadsBackAsGiven(*fields[i], values[i])) {
        notes.push_back(fields[i]->FieldName() + " stored as " + QuotedForNote(fields[i]->readString()) + " (given " +
                        QuotedForNote(values[i]) + ")");
      }
    }
    table.post();
  } catch (...) {
    table.cancel();
    throw;
  }
  return notes;
}

std::string AppendedBefore(size_t count) {
  if (count == 0) return " (nothing was appended)";
  return count == 1 ? " (the 1 row before it was appended)"
                    : " (the " + std::to_string(count) + " rows before it were appended)";
}

// One import: the rows of a CSV source read one by one, each appended to the table.
class TCsvImport {
 public:
  TCsvImport(dbf::TDbf& table, const TCsvSource& source) : table_(table), source_(source), reader_(source.input) {}

  // Returns the number of rows appended. Every error names the CSV line it comes from.
  size_t Run() {
    const std::vector<dbf::TField*> fields = ReadHeader();
    while (ReadRow()) AppendAtLine(fields);
    if (source_.input.bad()) throw std::runtime_error("Cannot read " + source_.name + AppendedBefore(appended_));
    return appended_;
  }

 private:
  std::runtime_error ErrorAtLine(int line, const std::string& message) const {
    return std::runtime_error(source_.name + ", line " + std::to_string(line) + ": " + message);
  }

  bool ReadRow() {
    try {
      return reader_.ReadRecord(row_);
    } catch (const TCsvError& error) {
      throw ErrorAtLine(error.line(), error.what() + AppendedBefore(appended_));
    }
  }

  std::vector<dbf::TField*> ReadHeader() {
    if (!ReadRow()) throw std::runtime_error(source_.name + ": no header row");
    try {
      return HeaderFields(table_, row_);
    } catch (const std::exception& error) {
      throw ErrorAtLine(reader_.RecordLine(), error.what());
    }
  }

  void AppendAtLine(const std::vector<dbf::TField*>& fields) {
    std::vector<std::string> notes;
    try {
      notes = AppendRow(table_, fields, row_);
    } catch (const std::exception& error) {
      throw ErrorAtLine(reader_.RecordLine(), ErrorText(error) + AppendedBefore(appended_));
    }
    for (const std::string& note : notes) {
      std::cerr << source_.name << ", line " << reader_.RecordLine() << ": " << note << '\n';
    }
    ++appended_;
  }

  dbf::TDbf& table_;
  const TCsvSource& source_;
  TCsvReader reader_;
  std::vector<std::string> row_;
  size_t appended_ = 0;
};

// Any file that reads as a stream will do (a pipe, a device): the reader's limits keep
// an endless one from growing the import. A folder would only fail at the first read.
void OpenCsvFile(std::ifstream& csv_file, const std::string& csv_path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(csv_path, ignored)) {
    throw dbf::FileError(dbf::TFileAction::Open, csv_path, EISDIR, dbf::FileErrorReason(EISDIR));
  }
  errno = 0;
  csv_file.open(csv_path, std::ios::binary);
  const int error = errno;
  if (!csv_file) throw dbf::FileError(dbf::TFileAction::Open, csv_path, error, dbf::FileErrorReason(error));
}

}  // namespace

int RunImport(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {}, 2);
  const std::string& file = line.Positional(0, "FILE");
  // The CSV is opened first: a CSV that cannot be read leaves the table untouched.
  std::ifstream csv_file;
  const bool from_file = line.positionals.size() == 2;
  if (from_file) OpenCsvFile(csv_file, AbsoluteFromCurrentFolder(line.positionals[1]));
  const TCsvSource source{from_file ? static_cast<std::istream&>(csv_file) : std::cin,
                          from_file ? line.positionals[1] : "standard input"};
  dbf::TDbf table;
  PointAtFile(table, file);
  CheckTableFile(table.FullName());
  // One sync at the end, when the table closes, instead of one per row: an import cut
  // short is run again anyway, and the close says whether its rows reached the device.
  table.SetSyncMode(dbf::TDbfSyncMode::smAtClose);
  table.open();
  // A CSV file is read as fast as the table takes it, so the import holds the append lock
  // for its whole run: other programs' appends wait for it (their reading and editing do
  // not), and the header count stays current after each record all the same. Rows from
  // standard input may come slowly through a pipe; they take the lock row by row, so that
  // an examiner's post never waits for a pipe.
  if (from_file) table.lockAppends();
  const size_t appended = TCsvImport(table, source).Run();
  table.close();
  std::cout << appended << (appended == 1 ? " record" : " records") << " appended to " << table.FullName() << '\n';
  return 0;
}

}  // namespace dbftool
