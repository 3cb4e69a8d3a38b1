// How an export presents each column of a table, and the reads of their values.
#include "ExportColumns.h"

#include <charconv>
#include <cmath>

#include "DbfErrors.h"
#include "DbfForeignFields.h"
#include "DbfValueText.h"
#include "ResultsTable.h"

namespace dbftool {

namespace {

// The decimals of a number column: those of its definition for the letters that store
// digits, none for an integer class, else not fixed (binary doubles).
int DecimalsOf(const dbf::TDbfFieldDef& def, TNumberSource source) {
  if (def.NativeFieldType() == 'N' || def.NativeFieldType() == 'F') return def.Prec();
  return source == TNumberSource::Float ? -1 : 0;
}

void ClassifyField(const dbf::TField& field, TExportColumn& column) {
  if (dynamic_cast<const dbf::TIntegerField*>(&field)) {
    column.kind = TValueKind::Number;
    column.number_source = TNumberSource::Integer;
  } else if (dynamic_cast<const dbf::TLargeintField*>(&field)) {
    column.kind = TValueKind::Number;
    column.number_source = TNumberSource::Largeint;
  } else if (dynamic_cast<const dbf::TFloatField*>(&field)) {
    column.kind = TValueKind::Number;
    column.number_source = TNumberSource::Float;
  } else if (dynamic_cast<const dbf::TDateField*>(&field)) {
    column.kind = TValueKind::Date;
  } else if (dynamic_cast<const dbf::TDateTimeField*>(&field)) {
    column.kind = TValueKind::DateTime;
  } else if (dynamic_cast<const dbf::TBooleanField*>(&field)) {
    column.kind = TValueKind::Boolean;
  }
}

TExportColumn ColumnOf(const dbf::TDbfFieldDefs& file_defs, const dbf::TField& field, bool results_table) {
  TExportColumn column{&field, field.FieldName(), "", TValueKind::Text, TNumberSource::Text, 0, -1};
  ClassifyField(field, column);
  const dbf::TDbfFieldDef& def = file_defs.Items(field.FieldNo() - 1);
  column.width = def.Size();
  if (column.kind == TValueKind::Number) column.decimals = DecimalsOf(def, column.number_source);
  if (!results_table) return column;
  if (const auto meaning = tarni::results_column_meaning(column.name)) {
    column.label = meaning->label;
    if (meaning->number_as_text && column.kind == TValueKind::Text) {
      column.kind = TValueKind::Number;
      column.decimals = 2;  // the ratio texts have two
    }
  }
  return column;
}

// A number kept as text: blanks are missing, anything but a number too (noticed once).
TExportValue NumberOfText(TExportColumn& column, std::string& storage) {
  const std::string_view text = dbf::TrimControlCharacters(column.field->readStringView(storage));
  TExportValue value;
  value.missing = text.empty();
  if (value.missing) return value;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value.number);
  if (error == std::errc() && end == text.data() + text.size() && std::isfinite(value.number)) return value;
  value.missing = true;
  if (!column.unreadable_noticed) {
    column.unreadable_noticed = true;
    dbf::DbfNotice("Column " + column.name + " holds \"" + std::string(text) +
                   "\", which is no number; such values are exported as empty");
  }
  return value;
}

double NumberOf(const TExportColumn& column) {
  switch (column.number_source) {
    case TNumberSource::Integer:
      return column.field->readInteger();
    case TNumberSource::Largeint:
      return static_cast<double>(static_cast<const dbf::TLargeintField*>(column.field)->readLargeint());
    default:
      return static_cast<const dbf::TFloatField*>(column.field)->readFloat();
  }
}

}  // namespace

std::vector<TExportColumn> ExportColumnsOf(const dbf::TDbf& table) {
  // An open dataset's definitions follow its field types (an N column with decimals reads
  // as a float of letter F); the decimals are those the file's own definitions state.
  dbf::TDbf file;
  file.SetTableName(table.FullName());
  file.updateFieldDefs();
  const bool results_table = tarni::is_results_table(table);
  std::vector<TExportColumn> columns;
  for (int i = 0; i < table.fieldCount(); ++i) {
    columns.push_back(ColumnOf(file.FieldDefs(), table.fieldAt(i), results_table));
  }
  return columns;
}

TExportValue ReadExportValue(TExportColumn& column, std::string& storage) {
  if (column.kind == TValueKind::Text) return {false, 0, column.field->readStringView(storage)};
  if (column.kind == TValueKind::Number && column.number_source == TNumberSource::Text) {
    return NumberOfText(column, storage);
  }
  TExportValue value;
  value.missing = column.field->isNull();
  if (value.missing) return value;
  switch (column.kind) {
    case TValueKind::Number:
      value.number = NumberOf(column);
      break;
    case TValueKind::Date: {
      const int32_t day = static_cast<const dbf::TDateField*>(column.field)->readDayNumber();
      value.missing = day <= 0;
      value.number = day;
      break;
    }
    case TValueKind::DateTime:
      value.number = static_cast<const dbf::TDateTimeField*>(column.field)->readMilliseconds();
      break;
    default:
      value.number = static_cast<const dbf::TBooleanField*>(column.field)->readBoolean() ? 1 : 0;
  }
  return value;
}

}  // namespace dbftool
