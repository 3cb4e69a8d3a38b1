// The .xlsx export on libxlsxwriter.
#include "XlsxExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "DbfErrors.h"
#include "DbfValueText.h"
#include "DumpWriter.h"

namespace dbftool {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr size_t kLongestSheetName = 31;
// Excel counts days from 1900; earlier dates are written as their text.
constexpr int kFirstWorkbookYear = 1900;

// A workbook given up on an error is freed without being written.
struct TWorkbookFree {
  void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};
using TWorkbook = std::unique_ptr<lxw_workbook, TWorkbookFree>;

// What a sheet name may hold: up to 31 characters, none of []:*?/\ and no quote at its ends.
std::string SheetNameOf(const std::string& name) {
  std::string sheet;
  size_t characters = 0;
  for (const char c : name) {
    const bool starts_character = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts_character && ++characters > kLongestSheetName) break;
    sheet += std::string_view("[]:*?/\\").find(c) == std::string_view::npos ? c : '_';
  }
  if (!sheet.empty() && sheet.front() == '\'') sheet.front() = '_';
  if (!sheet.empty() && sheet.back() == '\'') sheet.back() = '_';
  return sheet.empty() ? "Sheet1" : sheet;
}

std::string NumberFormatOf(int decimals) { return decimals > 0 ? "0." + std::string(decimals, '0') : "0"; }

// The writer of one workbook: a format per column, then the rows one by one.
class TXlsxWriter {
 public:
  TXlsxWriter(std::vector<TExportColumn>& columns, const TExportFile& file, const std::string& sheet_name)
      : columns_(columns), out_path_(file.OutPath()) {
    work_folder_ = std::filesystem::path(out_path_).parent_path().string();
    lxw_workbook_options options{LXW_TRUE, work_folder_.data(), LXW_TRUE};
    workbook_.reset(workbook_new_opt(file.TemporaryPath().c_str(), &options));
    if (!workbook_) Fail(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED));
    sheet_ = workbook_add_worksheet(workbook_.get(), SheetNameOf(sheet_name).c_str());
    if (sheet_ == nullptr) Fail("no worksheet named " + SheetNameOf(sheet_name));
    AddFormats();
  }

  void WriteHeader() {
    lxw_format* bold = workbook_add_format(workbook_.get());
    format_set_bold(bold);
    for (size_t i = 0; i < columns_.size(); ++i)
      Check(worksheet_write_string(sheet_, 0, Col(i), columns_[i].name.c_str(), bold));
    worksheet_freeze_panes(sheet_, 1, 0);
  }

  void WriteRecord() {
    if (++row_ >= LXW_ROW_MAX) {
      Fail("the table has more records than a worksheet has rows (" + std::to_string(LXW_ROW_MAX - 1) + ")");
    }
    // A row of its own even when every value is empty, so that it counts as a record.
    Check(worksheet_set_row(sheet_, row_, LXW_DEF_ROW_HEIGHT, nullptr));
    for (size_t i = 0; i < columns_.size(); ++i) WriteCell(i);
  }

  void Close() {
    const lxw_error error = workbook_close(workbook_.release());
    if (error != LXW_NO_ERROR) Fail(lxw_strerror(error));
  }

 private:
  static lxw_col_t Col(size_t index) { return static_cast<lxw_col_t>(index); }

  [[noreturn]] void Fail(const std::string& reason) const {
    throw dbf::FileError(dbf::TFileAction::Write, out_path_, 0, reason);
  }
  void Check(lxw_error error) const {
    if (error != LXW_NO_ERROR) Fail(lxw_strerror(error));
  }

  lxw_format* NewFormat(const std::string& number_format) {
    lxw_format* format = workbook_add_format(workbook_.get());
    format_set_num_format(format, number_format.c_str());
    return format;
  }

  // A column's format, and its width in characters.
  void AddFormats() {
    for (size_t i = 0; i < columns_.size(); ++i) {
      const TExportColumn& column = columns_[i];
      lxw_format* format = nullptr;
      double width = std::clamp(column.width, 8, 50) + 1;
      if (column.kind == TValueKind::Number && column.decimals >= 0) {
        format = NewFormat(NumberFormatOf(column.decimals));
      } else if (column.kind == TValueKind::Date) {
        format = NewFormat("yyyy-mm-dd");
        width = 11;
      } else if (column.kind == TValueKind::DateTime) {
        format = NewFormat("yyyy-mm-dd hh:mm:ss");
        width = 20;
      }
      formats_.push_back(format);
      Check(worksheet_set_column(sheet_, Col(i), Col(i), width, nullptr));
    }
  }

  void WriteText(size_t index, std::string_view text) {
    text_.assign(text);
    Check(worksheet_write_string(sheet_, row_, Col(index), text_.c_str(), nullptr));
  }

  void WriteDate(size_t index, double day_number, double milliseconds) {
    const dbf::TCalendarDate date = dbf::DateOfDayNumber(static_cast<int32_t>(day_number));
    if (date.year < kFirstWorkbookYear) return WriteText(index, columns_[index].field->readString());
    const int hour = static_cast<int>(milliseconds / 3600000);
    const int minute = static_cast<int>(milliseconds / 60000) % 60;
    const double second = std::fmod(milliseconds, 60000.0) / 1000;
    lxw_datetime datetime{static_cast<int>(date.year), date.month, date.day, hour, minute, second};
    Check(worksheet_write_datetime(sheet_, row_, Col(index), &datetime, formats_[index]));
  }

  void WriteCell(size_t index) {
    TExportColumn& column = columns_[index];
    const TExportValue value = ReadExportValue(column, storage_);
    if (value.missing) return;
    switch (column.kind) {
      case TValueKind::Text:
        if (!value.text.empty()) WriteText(index, value.text);
        break;
      case TValueKind::Number:
        Check(worksheet_write_number(sheet_, row_, Col(index), value.number, formats_[index]));
        break;
      case TValueKind::Date:
        WriteDate(index, value.number, 0);
        break;
      case TValueKind::DateTime: {
        const double day = std::floor(value.number / kMillisecondsPerDay);
        WriteDate(index, day, value.number - day * kMillisecondsPerDay);
        break;
      }
      case TValueKind::Boolean:
        Check(worksheet_write_boolean(sheet_, row_, Col(index), value.number != 0, nullptr));
        break;
    }
  }

  std::vector<TExportColumn>& columns_;
  std::string out_path_;
  std::string work_folder_;
  TWorkbook workbook_;
  lxw_worksheet* sheet_ = nullptr;
  std::vector<lxw_format*> formats_;
  lxw_row_t row_ = 0;
  std::string storage_;
  std::string text_;
};

}  // namespace

void WriteXlsx(dbf::TDbf& table, std::vector<TExportColumn>& columns, const TExportFile& file,
               const std::string& sheet_name) {
  TXlsxWriter writer(columns, file, sheet_name);
  writer.WriteHeader();
  ForEachRecord(table, [&] { writer.WriteRecord(); });
  writer.Close();
}

}  // namespace dbftool
