// `dbftool dump FILE [--deleted] [--format csv|json]`: every record of a table in the text
// form of its field objects, as CSV with a header row or as one JSON object. The table
// is opened read-only, so the file stays byte for byte as it was.
#include <iostream>
#include <string>
#include <vector>

#include "CsvText.h"
#include "DbfToolCommands.h"
#include "JsonText.h"
#include "dbf.h"

namespace dbftool {

namespace {

// The first column of a dump with deleted records: "*" on a deleted record, else "".
const char kDeletedColumn[] = "_DELETED";

enum class TDumpFormat { Csv, Json };

struct TDumpOptions {
  std::string file;
  bool deleted = false;
  TDumpFormat format = TDumpFormat::Csv;
};

TDumpFormat ParseFormat(const std::string& name) {
  if (name == "csv") return TDumpFormat::Csv;
  if (name == "json") return TDumpFormat::Json;
  throw TUsageError("Unknown format: " + name + " (csv or json)");
}

TDumpOptions ParseOptions(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {{"--deleted", false}, {"--format", true}}, 1);
  TDumpOptions options;
  options.file = line.Positional(0, "FILE");
  options.deleted = line.Has("--deleted");
  for (const std::string& format : line.Values("--format")) options.format = ParseFormat(format);
  return options;
}

std::vector<std::string> ColumnNames(const dbf::TDbf& table, bool deleted) {
  std::vector<std::string> names;
  if (deleted) names.emplace_back(kDeletedColumn);
  for (int i = 0; i < table.fieldCount(); ++i) names.push_back(table.fieldAt(i).FieldName());
  return names;
}

// The current record's values; a null value is the empty text.
std::vector<std::string> RecordValues(const dbf::TDbf& table, bool deleted) {
  std::vector<std::string> values;
  if (deleted) values.emplace_back(table.recordDeleted() ? "*" : "");
  for (int i = 0; i < table.fieldCount(); ++i) values.push_back(table.fieldAt(i).readString());
  return values;
}

// Calls `visit` on every record the table shows, in file order.
template <typename Visit>
void ForEachRecord(dbf::TDbf& table, Visit visit) {
  if (table.isEmpty()) return;
  do {
    visit();
  } while (table.moveNext() == 1);
}

void WriteCsv(dbf::TDbf& table, bool deleted, std::ostream& out) {
  out << CsvRecord(ColumnNames(table, deleted));
  ForEachRecord(table, [&] { out << CsvRecord(RecordValues(table, deleted)); });
}

// One record per line, so that large dumps stay readable and diffable.
void WriteJson(dbf::TDbf& table, bool deleted, std::ostream& out) {
  out << "{\"fields\": " << JsonStringArray(ColumnNames(table, deleted)) << ", \"records\": [";
  bool first = true;
  ForEachRecord(table, [&] {
    out << (first ? "\n  " : ",\n  ") << JsonStringArray(RecordValues(table, deleted));
    first = false;
  });
  out << (first ? "]}\n" : "\n]}\n");
}

int RunDump(const std::vector<std::string>& arguments) {
  const TDumpOptions options = ParseOptions(arguments);
  dbf::TDbf table;
  PointAtFile(table, options.file);
  CheckTableFile(table.FullName());
  table.SetReadOnly(true);
  table.SetShowDeleted(options.deleted);
  table.open();
  if (options.format == TDumpFormat::Json) {
    WriteJson(table, options.deleted, std::cout);
  } else {
    WriteCsv(table, options.deleted, std::cout);
  }
  table.close();
  return 0;
}

const TCommandRegistration kDump("dump", "FILE [--deleted] [--format csv|json]", RunDump);

}  // namespace

}  // namespace dbftool
