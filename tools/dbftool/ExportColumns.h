// The columns of a table as an export for analysis presents them: each field's kind of
// value (text, number, date, date and time, truth value) with the decimals of a number,
// and for a results table the Czech label of each column and the two ratio texts read as
// the numbers they are. Also the read of a column's value in the current record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dbf.h"

namespace dbftool {

enum class TValueKind { Text, Number, Date, DateTime, Boolean };

// Where a number column's value comes from.
enum class TNumberSource { Integer, Largeint, Float, Text };

struct TExportColumn {
  const dbf::TField* field;
  std::string name;
  std::string label;  // empty when the column has none
  TValueKind kind;
  TNumberSource number_source;  // for kind Number
  int width;                    // characters of a text column, digits of a number column
  int decimals;                 // digits after the point of a number column; -1 when not fixed
  bool unreadable_noticed = false;
};

// One value of the current record. `missing` for an empty column (a null value, an
// impossible date). Numbers and truth values (1 or 0) are in `number`, dates as day
// numbers, dates with times as milliseconds (as TDateTimeField reads them); texts in `text`.
struct TExportValue {
  bool missing = false;
  double number = 0;
  std::string_view text;
};

// The columns of the fields of `table`, in field order.
// REQUIRES: `table` is open.
std::vector<TExportColumn> ExportColumnsOf(const dbf::TDbf& table);

// The value of `column` in the current record; a text lives in `storage` or the record
// and lasts until the next read into `storage` or the next move. A number kept as text
// that is no number counts as missing; the library's notice handler hears of the first
// one of each column.
TExportValue ReadExportValue(TExportColumn& column, std::string& storage);

}  // namespace dbftool
