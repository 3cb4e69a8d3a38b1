// The export to an SPSS data file (.sav) through ReadStat: a variable per field with the
// Czech label of a results column, numbers with their decimals, dates and dates with
// times in SPSS's own reckoning, truth values as 1 and 0, texts as UTF-8 strings as wide
// as the longest value. A first pass counts the records and measures the texts (the file
// states both before its data); the second writes the cases one by one.
#pragma once

#include <vector>

#include "ExportColumns.h"
#include "ExportFile.h"
#include "dbf.h"

namespace dbftool {

// Writes every record `table` shows into `file`. Throws EDbfFileError "Cannot write file
// %s" with ReadStat's or the system's reason, also when the table's records changed
// between the two passes.
// REQUIRES: `table` is open; `columns` are its ExportColumnsOf.
void WriteSav(dbf::TDbf& table, std::vector<TExportColumn>& columns, const TExportFile& file);

}  // namespace dbftool
