// The .sav export on ReadStat.
#include "SavExport.h"

#include <readstat.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "CheckedOutput.h"
#include "DbfErrors.h"
#include "DbfValueText.h"
#include "DumpWriter.h"

namespace dbftool {

namespace {

constexpr double kSecondsPerDay = 86400;
// A string variable holds at most this many bytes.
constexpr size_t kWidestString = 32767;
// The columns a data editor shows of a variable: its field's width within these bounds.
constexpr int kNarrowestDisplay = 8;
constexpr int kWidestDisplay = 40;

// SPSS counts seconds from the start of the Gregorian calendar, 14 October 1582.
double SpssSecondsOfDay(double day_number) {
  static const int32_t first_day = dbf::DayNumberOf(1582, 10, 14);
  return (day_number - first_day) * kSecondsPerDay;
}

// ReadStat's bytes go to the export file through checked output, which keeps the reason
// of a failed write.
ssize_t WriteBytes(const void* data, size_t length, void* output) {
  const auto size = static_cast<std::streamsize>(length);
  return static_cast<TCheckedOutput*>(output)->sputn(static_cast<const char*>(data), size) == size
             ? static_cast<ssize_t>(length)
             : -1;
}

struct TWriterFree {
  void operator()(readstat_writer_t* writer) const { readstat_writer_free(writer); }
};

// What the first pass finds: the records and the longest text of each column, in bytes.
struct TTableShape {
  long records = 0;
  std::vector<size_t> widths;
};

TTableShape MeasureTable(dbf::TDbf& table, std::vector<TExportColumn>& columns) {
  TTableShape shape;
  shape.widths.assign(columns.size(), 1);
  std::string storage;
  ForEachRecord(table, [&] {
    ++shape.records;
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].kind != TValueKind::Text) continue;
      shape.widths[i] = std::max(shape.widths[i], ReadExportValue(columns[i], storage).text.size());
    }
  });
  for (size_t& width : shape.widths) width = std::min(width, kWidestString);
  return shape;
}

// The text cut to `width` bytes at a character's start: the record may have changed since
// the first pass measured it.
std::string_view FittingText(std::string_view text, size_t width) {
  if (text.size() <= width) return text;
  while (width > 0 && (static_cast<unsigned char>(text[width]) & 0xC0) == 0x80) --width;
  return text.substr(0, width);
}

// How SPSS shows a variable: texts as wide as measured, numbers with their decimals (two
// where they are not fixed, as SPSS does), dates as yyyy/mm/dd, truth values as 1 and 0.
std::string FormatOf(const TExportColumn& column, size_t text_width) {
  switch (column.kind) {
    case TValueKind::Text:
      return "A" + std::to_string(text_width);
    case TValueKind::Number:
      if (column.decimals < 0) return "F8.2";
      return "F" + std::to_string(std::max(column.width, column.decimals + 2)) + "." + std::to_string(column.decimals);
    case TValueKind::Date:
      return "SDATE10";
    case TValueKind::DateTime:
      return "YMDHMS19";
    case TValueKind::Boolean:
      return "F1.0";
  }
  return "";
}

class TSavWriter {
 public:
  TSavWriter(std::vector<TExportColumn>& columns, const TExportFile& file)
      : columns_(columns),
        out_path_(file.OutPath()),
        output_(file.Descriptor(), "file " + file.OutPath()),
        writer_(readstat_writer_init()) {
    if (!writer_) Fail(readstat_error_message(READSTAT_ERROR_MALLOC));
    Check(readstat_set_data_writer(writer_.get(), WriteBytes));
    Check(readstat_writer_set_compression(writer_.get(), READSTAT_COMPRESS_ROWS));
  }

  void Begin(const TTableShape& shape) {
    records_ = shape.records;
    for (size_t i = 0; i < columns_.size(); ++i) variables_.push_back(AddVariable(columns_[i], shape.widths[i]));
    Check(readstat_begin_writing_sav(writer_.get(), &output_, records_));
    // Names and formats that a data file cannot hold are refused before the first case.
    Check(readstat_validate_metadata(writer_.get()));
    for (const readstat_variable_t* variable : variables_) Check(readstat_validate_variable(writer_.get(), variable));
  }

  // The current record as the next case, while cases are left of those counted.
  void WriteCase() {
    if (written_ == records_) return;
    Check(readstat_begin_row(writer_.get()));
    for (size_t i = 0; i < columns_.size(); ++i) WriteValue(i);
    Check(readstat_end_row(writer_.get()));
    ++written_;
  }

  // ReadStat does not pass on every failed write: the output says at its end whether all
  // of them reached the file.
  void End() {
    if (written_ != records_) Fail("the table lost records during the export");
    Check(readstat_end_writing(writer_.get()));
    output_.FlushOrThrow();
  }

 private:
  [[noreturn]] void Fail(const std::string& reason) const {
    throw dbf::FileError(dbf::TFileAction::Write, out_path_, 0, reason);
  }
  // A failed write is the likeliest reason of any failure, and its own message says more.
  void Check(readstat_error_t error) {
    if (error == READSTAT_OK) return;
    output_.FlushOrThrow();
    Fail(readstat_error_message(error));
  }

  readstat_variable_t* AddVariable(const TExportColumn& column, size_t text_width) {
    const bool text = column.kind == TValueKind::Text;
    readstat_variable_t* variable = readstat_add_variable(
        writer_.get(), column.name.c_str(), text ? READSTAT_TYPE_STRING : READSTAT_TYPE_DOUBLE, text ? text_width : 0);
    if (variable == nullptr) Fail(readstat_error_message(READSTAT_ERROR_MALLOC));
    if (!column.label.empty()) readstat_variable_set_label(variable, column.label.c_str());
    readstat_variable_set_format(variable, FormatOf(column, text_width).c_str());
    const bool nominal = text || column.kind == TValueKind::Boolean;
    readstat_variable_set_measure(variable, nominal ? READSTAT_MEASURE_NOMINAL : READSTAT_MEASURE_SCALE);
    readstat_variable_set_display_width(variable, std::clamp(column.width, kNarrowestDisplay, kWidestDisplay));
    return variable;
  }

  double NumberOf(const TExportColumn& column, const TExportValue& value) const {
    if (column.kind == TValueKind::Date) return SpssSecondsOfDay(value.number);
    if (column.kind == TValueKind::DateTime) return SpssSecondsOfDay(0) + value.number / 1000;
    return value.number;
  }

  void WriteValue(size_t index) {
    TExportColumn& column = columns_[index];
    const readstat_variable_t* variable = variables_[index];
    const TExportValue value = ReadExportValue(column, storage_);
    if (value.missing) return Check(readstat_insert_missing_value(writer_.get(), variable));
    if (column.kind != TValueKind::Text) {
      return Check(readstat_insert_double_value(writer_.get(), variable, NumberOf(column, value)));
    }
    text_.assign(FittingText(value.text, readstat_variable_get_storage_width(variable)));
    Check(readstat_insert_string_value(writer_.get(), variable, text_.c_str()));
  }

  std::vector<TExportColumn>& columns_;
  std::string out_path_;
  TCheckedOutput output_;
  std::unique_ptr<readstat_writer_t, TWriterFree> writer_;
  std::vector<readstat_variable_t*> variables_;
  long records_ = 0;
  long written_ = 0;
  std::string storage_;
  std::string text_;
};

}  // namespace

void WriteSav(dbf::TDbf& table, std::vector<TExportColumn>& columns, const TExportFile& file) {
  TSavWriter writer(columns, file);
  writer.Begin(MeasureTable(table, columns));
  ForEachRecord(table, [&] { writer.WriteCase(); });
  writer.End();
}

}  // namespace dbftool
