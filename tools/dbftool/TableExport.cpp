// The choice of an export's format and the export of a table into its file.
#include "TableExport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "CheckedOutput.h"
#include "DumpWriter.h"
#include "ExportColumns.h"
#include "ExportFile.h"
#include "SavExport.h"
#include "XlsxExport.h"

namespace dbftool {

namespace {

struct TFormatName {
  const char* extension;
  TExportFormat format;
};
constexpr TFormatName kFormats[] = {{".xlsx", TExportFormat::Xlsx},
                                    {".sav", TExportFormat::Sav},
                                    {".csv", TExportFormat::Csv},
                                    {".json", TExportFormat::Json}};

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

void WriteTextExport(dbf::TDbf& table, TDumpFormat format, const TExportFile& file) {
  TCheckedOutput output(file.Descriptor(), "file " + file.OutPath());
  WriteDump(table, false, format, output);
  output.FlushOrThrow();
}

void WriteExport(dbf::TDbf& table, TExportFormat format, const TExportFile& file) {
  if (format == TExportFormat::Csv || format == TExportFormat::Json) {
    return WriteTextExport(table, format == TExportFormat::Csv ? TDumpFormat::Csv : TDumpFormat::Json, file);
  }
  std::vector<TExportColumn> columns = ExportColumnsOf(table);
  if (format == TExportFormat::Sav) return WriteSav(table, columns, file);
  WriteXlsx(table, columns, file, std::filesystem::path(table.FullName()).stem().string());
}

}  // namespace

TExportFormat ExportFormatOf(const std::string& out_path) {
  const std::string extension = LowerCase(std::filesystem::path(out_path).extension().string());
  for (const TFormatName& name : kFormats) {
    if (extension == name.extension) return name.format;
  }
  throw std::runtime_error("Unknown export format: " + out_path + " (OUT ends in .xlsx, .sav, .csv or .json)");
}

void ExportTable(dbf::TDbf& table, const std::string& out_path, bool replace) {
  const TExportFormat format = ExportFormatOf(out_path);
  TExportFile file(out_path, replace);
  WriteExport(table, format, file);
  file.Commit();
}

void ExportTableFile(const std::string& table_path, const std::string& out_path, bool replace) {
  dbf::TDbf table;
  table.SetTableName(table_path);
  table.SetOpenMode(dbf::TDbfOpenMode::omNormal);
  table.SetReadOnly(true);
  table.open();
  ExportTable(table, out_path, replace);
  table.close();
}

}  // namespace dbftool
