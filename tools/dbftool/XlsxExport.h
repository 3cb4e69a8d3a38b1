// The export to an Excel workbook (.xlsx) through libxlsxwriter: one worksheet with a
// header row of the field names and a row per record; numbers as numbers shown with their
// decimals, dates and dates with times as such, truth values as booleans, texts as texts.
// The workbook is written in libxlsxwriter's constant-memory mode, row after row.
#pragma once

#include <string>
#include <vector>

#include "ExportColumns.h"
#include "ExportFile.h"
#include "dbf.h"

namespace dbftool {

// Writes every record `table` shows into `file` as a workbook whose sheet is named after
// `sheet_name` (cut to what a sheet name may hold). Throws EDbfFileError "Cannot write
// file %s" with libxlsxwriter's reason, also for a table of more records than a sheet
// has rows.
// REQUIRES: `table` is open; `columns` are its ExportColumnsOf.
void WriteXlsx(dbf::TDbf& table, std::vector<TExportColumn>& columns, const TExportFile& file,
               const std::string& sheet_name);

}  // namespace dbftool
