// `dbftool import FILE [CSV]`: appends the rows of a CSV file (or of standard input) to a
// table. The header row names the fields; each row is one append, its values assigned
// through the field objects, then posted. A row that fails is cancelled and ends the
// import; the rows before it stay in the table.
#include <charconv>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "CsvText.h"
#include "DbfForeignFields.h"
#include "DbfToolCommands.h"
#include "DbfValueText.h"
#include "Utf8.h"
#include "dbf.h"

namespace dbftool {

namespace {

struct TCsvSource {
  std::istream& input;
  std::string name;  // for messages: the CSV argument, or "standard input"
};

std::runtime_error ErrorAtLine(const TCsvSource& source, int line, const std::string& message) {
  return std::runtime_error(source.name + ", line " + std::to_string(line) + ": " + message);
}

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

void AssignValue(dbf::TField& field, const std::string& value) {
  if (!tarni::is_valid_utf8(value)) {
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
        notes.push_back(fields[i]->FieldName() + " stored as '" + fields[i]->readString() + "' (given '" +
                        values[i] + "')");
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

// Returns the number of rows appended.
size_t ImportRows(dbf::TDbf& table, TCsvSource source) {
  TCsvReader reader(source.input);
  std::vector<std::string> row;
  size_t appended = 0;
  try {
    if (!reader.ReadRecord(row)) throw std::runtime_error(source.name + ": no header row");
    const int header_line = reader.RecordLine();
    std::vector<dbf::TField*> fields;
    try {
      fields = HeaderFields(table, row);
    } catch (const std::exception& error) {
      throw ErrorAtLine(source, header_line, error.what());
    }
    while (reader.ReadRecord(row)) {
      try {
        for (const std::string& note : AppendRow(table, fields, row)) {
          std::cerr << source.name << ", line " << reader.RecordLine() << ": " << note << '\n';
        }
      } catch (const std::exception& error) {
        throw ErrorAtLine(source, reader.RecordLine(), error.what() + AppendedBefore(appended));
      }
      ++appended;
    }
  } catch (const TCsvError& error) {
    throw ErrorAtLine(source, error.line(), error.what() + AppendedBefore(appended));
  }
  if (source.input.bad()) throw std::runtime_error("Cannot read " + source.name + AppendedBefore(appended));
  return appended;
}

int RunImport(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {}, 2);
  const std::string& file = line.Positional(0, "FILE");
  // The CSV is opened first: a CSV that cannot be read leaves the table untouched.
  std::ifstream csv_file;
  const bool from_file = line.positionals.size() == 2;
  if (from_file) {
    const std::string csv_path = AbsoluteFromCurrentFolder(line.positionals[1]);
    csv_file.open(csv_path, std::ios::binary);
    if (!csv_file) throw std::runtime_error("Cannot open file " + csv_path);
  }
  const TCsvSource source{from_file ? static_cast<std::istream&>(csv_file) : std::cin,
                          from_file ? line.positionals[1] : "standard input"};
  dbf::TDbf table;
  PointAtFile(table, file);
  table.open();
  const size_t appended = ImportRows(table, source);
  table.close();
  std::cout << appended << (appended == 1 ? " record" : " records") << " appended to " << table.FullName()
            << '\n';
  return 0;
}

const TCommandRegistration kImport("import", "FILE [CSV]", RunImport);

}  // namespace

}  // namespace dbftool
