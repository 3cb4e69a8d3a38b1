// The core of `dbftool dump`: every record a table shows, in the text form of its field
// objects, as CSV with a header row or as one JSON object. Each field is read into a
// string that lives as long as the dump, and the output goes out through one buffer.
#pragma once

#include <streambuf>

namespace dbf {
class TDbf;
}

namespace dbftool {

enum class TDumpFormat { Csv, Json };

// Writes the dump of every record `table` shows to `out`, moving from its first record to
// its last. With `deleted` a first column "_DELETED" holds "*" on a deleted record and ""
// on any other.
// REQUIRES: `table` is open, showing deleted records when `deleted` is set.
void WriteDump(dbf::TDbf& table, bool deleted, TDumpFormat format, std::streambuf& out);

}  // namespace dbftool
