// `dbftool dump FILE [--deleted] [--format csv|json]`: every record of a table in the text
// form of its field objects, as CSV with a header row or as one JSON object. The table
// is opened read-only, so the file stays byte for byte as it was.
#include <iostream>
#include <string>
#include <vector>

#include "DbfToolCommands.h"
#include "DumpWriter.h"
#include "dbf.h"

namespace dbftool {

namespace {

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

int RunDump(const std::vector<std::string>& arguments) {
  const TDumpOptions options = ParseOptions(arguments);
  dbf::TDbf table;
  PointAtFile(table, options.file);
  CheckTableFile(table.FullName());
  table.SetReadOnly(true);
  table.SetShowDeleted(options.deleted);
  table.open();
  WriteDump(table, options.deleted, options.format, *std::cout.rdbuf());
  table.close();
  return 0;
}

const TCommandRegistration kDump("dump", "FILE [--deleted] [--format csv|json]",
                                 "prints every record as CSV with a header row or as JSON", RunDump);

}  // namespace

}  // namespace dbftool
