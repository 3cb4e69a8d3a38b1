// `dbftool export TABLE OUT [--force]`: every record of a table, for analysis, in the
// format OUT's extension names (.xlsx, .sav, .csv or .json). The table is opened
// read-only; OUT appears whole or not at all, and an existing OUT only with --force.
#include <string>
#include <vector>

#include "DbfToolCommands.h"
#include "TableExport.h"
#include "dbf.h"

namespace dbftool {

namespace {

int RunExport(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {{"--force", false}}, 2);
  const std::string& table_file = line.Positional(0, "TABLE");
  const std::string out = AbsoluteFromCurrentFolder(line.Positional(1, "OUT"));
  ExportFormatOf(out);  // an unknown format is refused before the table is read
  dbf::TDbf table;
  PointAtFile(table, table_file);
  CheckTableFile(table.FullName());
  table.SetReadOnly(true);
  table.open();
  ExportTable(table, out, line.Has("--force"));
  table.close();
  return 0;
}

const TCommandRegistration kExport("export", "TABLE OUT [--force]",
                                   "writes every record to OUT as an Excel workbook (.xlsx), an SPSS data file (.sav), "
                                   "CSV or JSON, by OUT's extension; --force replaces an existing OUT",
                                   RunExport);

}  // namespace

}  // namespace dbftool
