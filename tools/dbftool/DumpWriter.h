// The core of `dbftool dump` and of the CSV and JSON exports: every record a table shows,
// in the text form of its field objects, as CSV with a header row or as one JSON object.
// Each field is read into a string that lives as long as the dump, and the output goes out
// through one buffer.
#pragma once

#include <streambuf>

#include "dbf.h"

namespace dbftool {

enum class TDumpFormat { Csv, Json };

// Calls `visit` on every record `table` shows, in file order, moving from its first record
// to its last. REQUIRES: `table` is open.
template <typename Visit>
void ForEachRecord(dbf::TDbf& table, Visit visit) {
  table.moveFirst();
  if (table.isEmpty()) return;
  do {
    visit();
  } while (table.moveNext() == 1);
}

// Writes the dump of every record `table` shows to `out`, moving from its first record to
// its last. With `deleted` a first column "_DELETED" holds "*" on a deleted record and ""
// on any other.
// REQUIRES: `table` is open, showing deleted records when `deleted` is set.
void WriteDump(dbf::TDbf& table, bool deleted, TDumpFormat format, std::streambuf& out);

}  // namespace dbftool
