// Exports of a table for analysis: `dbftool export` and dbfview's "Export…" write every
// record a table shows to a file in the format its extension names: an Excel workbook
// (.xlsx), an SPSS data file (.sav), or CSV and JSON as `dbftool dump` writes them. The
// file is written next to its place and renamed into it when whole; memory stays flat
// in the table's size, as the records are read and written one by one.
#pragma once

#include <string>

#include "dbf.h"

namespace dbftool {

enum class TExportFormat { Xlsx, Sav, Csv, Json };

// The format `out_path`'s extension names, letter case aside. Throws std::runtime_error
// "Unknown export format: %s (OUT ends in .xlsx, .sav, .csv or .json)" for any other.
TExportFormat ExportFormatOf(const std::string& out_path);

// Writes every record `table` shows to `out_path` (absolute) in the format its extension
// names. An existing file is replaced only with `replace`; else, and on any failure,
// nothing is left at `out_path` that was not there before.
// REQUIRES: `table` is open.
void ExportTable(dbf::TDbf& table, const std::string& out_path, bool replace);

// Opens the table file `table_path` (absolute) read-only, exports it as ExportTable does
// and closes it.
void ExportTableFile(const std::string& table_path, const std::string& out_path, bool replace);

}  // namespace dbftool
