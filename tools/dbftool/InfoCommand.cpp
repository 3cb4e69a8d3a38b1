// `dbftool info FILE [--json]`: the header figures, the layout and code page the library
// reads the table in, the field list and the header warnings of a table, read-only. A
// table whose header cannot be read still shows its prefix figures beside the error.
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "DbfToolCommands.h"
#include "JsonText.h"
#include "UDbfFile.h"

namespace dbftool {

namespace {

struct TFieldFigures {
  std::string name;
  std::string letter;  // empty for a field without a letter
  int32_t length;
  int32_t decimals;
  std::string type;
};

// How the library reads the table: its layout, and the code page of its text with where
// that came from (its mark, its .cpg file, or neither).
struct TReadingFigures {
  std::string layout;
  std::string code_page;
  std::string code_page_source;
  int code_page_mark;
};

struct TTableFigures {
  int version = 0;
  int level = 0;
  int32_t header_length = 0;
  int32_t record_length = 0;
  int32_t header_record_count = 0;
  int32_t record_count = 0;
  std::optional<TReadingFigures> reading;  // none when the table could not be read
  std::vector<TFieldFigures> fields;
};

struct TInfoReport {
  std::optional<TTableFigures> figures;  // none when not even the prefix could be read
  std::vector<std::string> warnings;
  std::string error;
};

// Collects the header warnings while it lives, instead of printing them.
class TWarningCollector {
 public:
  explicit TWarningCollector(std::vector<std::string>& warnings)
      : previous_(dbf::SetDbfNoticeHandler([&warnings](const std::string& text) { warnings.push_back(text); })) {}
  ~TWarningCollector() { dbf::SetDbfNoticeHandler(std::move(previous_)); }
  TWarningCollector(const TWarningCollector&) = delete;
  TWarningCollector& operator=(const TWarningCollector&) = delete;

 private:
  dbf::TDbfNoticeHandler previous_;
};

TTableFigures PrefixFigures(const dbf::TPagedFile& file) {
  const dbf::THeaderPrefix prefix = dbf::ReadHeaderPrefix(file.HeaderBuffer(), static_cast<size_t>(file.HeaderSize()));
  TTableFigures figures;
  figures.version = prefix.version;
  figures.level = prefix.format_level;
  figures.header_record_count = static_cast<int32_t>(prefix.record_count);
  figures.header_length = prefix.header_length;
  figures.record_length = prefix.record_length;
  figures.record_count = file.RecordCount();
  return figures;
}

const char* LayoutName(dbf::THeaderLayout layout) {
  switch (layout) {
    case dbf::THeaderLayout::Long:
      return "long";
    case dbf::THeaderLayout::FoxPro:
      return "foxpro";
    default:
      return "short";
  }
}

const char* CodePageSourceName(dbf::TCodePageSource source) {
  switch (source) {
    case dbf::TCodePageSource::Mark:
      return "mark";
    case dbf::TCodePageSource::CpgFile:
      return "cpg";
    default:
      return "default";
  }
}

TTableFigures TableFigures(const dbf::TDbfFile& table) {
  TTableFigures figures = PrefixFigures(table);
  figures.reading = {LayoutName(table.Layout()), table.CodePage().Name(), CodePageSourceName(table.CodePage().Source()),
                     table.HeaderBuffer()[dbf::kCodePageMarkAt]};
  for (int i = 0; i < table.FieldDefs().Count(); ++i) {
    const dbf::TDbfFieldDef& def = table.FieldDefs().Items(i);
    const char letter = def.NativeFieldType();
    figures.fields.push_back({def.Name(), letter == '\0' ? "" : std::string(1, letter), def.Size(), def.Prec(),
                              dbf::FieldTypeIdentifier(def.FieldType())});
  }
  return figures;
}

// For a table the library refuses: the prefix as it stands, with the record count the
// file size gives for its header and record lengths.
std::optional<TTableFigures> RawPrefixFigures(const std::string& file_name) {
  try {
    dbf::TPagedFile file(file_name, {.read_only = true});
    file.SetHeaderSize(dbf::kShortLayout.prefix_length);
    TTableFigures figures = PrefixFigures(file);
    file.SetHeaderSize(figures.header_length);
    file.SetRecordSize(figures.record_length);
    figures.record_count = file.RecordCount();
    return figures;
  } catch (const dbf::EDatabaseError&) {
    return std::nullopt;
  }
}

TInfoReport ReadInfo(const std::string& file_name) {
  TInfoReport report;
  TWarningCollector collector(report.warnings);
  CheckTableFile(file_name);
  try {
    const dbf::TDbfFile table(file_name, {.read_only = true});
    report.figures = TableFigures(table);
  } catch (const dbf::EDatabaseError& error) {
    report.error = error.what();
    report.figures = RawPrefixFigures(file_name);
  }
  return report;
}

// The warnings break their lines with '\r'; the text form indents the continuation lines.
std::string IndentedLines(const std::string& text) {
  std::string lines;
  for (const char c : text) lines += c == '\r' ? std::string("\n    ") : std::string(1, c);
  return lines;
}

// "CP1250 (mark 0xC8)", "UTF-8 (.cpg file)", "CP852 (default)". A mark or .cpg file the
// library could not use is among the warnings.
std::string CodePageText(const TReadingFigures& reading) {
  if (reading.code_page_source == "mark") {
    return reading.code_page + " (mark " + dbf::HexByte(static_cast<uint8_t>(reading.code_page_mark)) + ")";
  }
  return reading.code_page + (reading.code_page_source == "cpg" ? " (.cpg file)" : " (default)");
}

void PrintText(const std::string& file_name, const TInfoReport& report) {
  const TTableFigures& figures = *report.figures;
  std::cout << "File:                     " << file_name << '\n'
            << "Version byte:             0x" << std::hex << std::setw(2) << std::setfill('0') << figures.version
            << std::dec << std::setfill(' ') << " (" << figures.version << ")\n"
            << "Format level:             " << figures.level << '\n';
  if (figures.reading) {
    std::cout << "Layout:                   " << figures.reading->layout << '\n'
              << "Code page:                " << CodePageText(*figures.reading) << '\n';
  }
  std::cout << "Header length:            " << figures.header_length << '\n'
            << "Record length:            " << figures.record_length << '\n'
            << "Record count (header):    " << figures.header_record_count << '\n'
            << "Record count (file size): " << figures.record_count << '\n'
            << "Fields:                   " << figures.fields.size() << '\n';
  if (!figures.fields.empty()) {
    std::cout << "     #  Name                              Letter  Length  Decimals  Type\n";
  }
  for (size_t i = 0; i < figures.fields.size(); ++i) {
    const TFieldFigures& field = figures.fields[i];
    std::cout << std::setw(6) << i + 1 << "  " << std::left << std::setw(32) << field.name << "  " << std::setw(6)
              << field.letter << std::right << "  " << std::setw(6) << field.length << "  " << std::setw(8)
              << field.decimals << "  " << field.type << '\n';
  }
  std::cout << "Warnings:                 " << report.warnings.size() << '\n';
  for (const std::string& warning : report.warnings) std::cout << "  " << IndentedLines(warning) << '\n';
}

std::string JsonField(const TFieldFigures& field) {
  return "{\"name\": " + JsonString(field.name) + ", \"letter\": " + JsonString(field.letter) +
         ", \"length\": " + std::to_string(field.length) + ", \"decimals\": " + std::to_string(field.decimals) +
         ", \"type\": " + JsonString(field.type) + "}";
}

// One object, keys in a fixed order; "error" only when the table could not be read.
void PrintJson(const TInfoReport& report) {
  const TTableFigures& figures = *report.figures;
  std::cout << "{\"version\": " << figures.version << ", \"level\": " << figures.level
            << ", \"header_length\": " << figures.header_length << ", \"record_length\": " << figures.record_length
            << ", \"header_record_count\": " << figures.header_record_count
            << ", \"record_count\": " << figures.record_count;
  if (figures.reading) {
    std::cout << ", \"layout\": " << JsonString(figures.reading->layout)
              << ", \"code_page\": " << JsonString(figures.reading->code_page)
              << ", \"code_page_source\": " << JsonString(figures.reading->code_page_source)
              << ", \"code_page_mark\": " << figures.reading->code_page_mark;
  }
  std::cout << ", \"fields\": " << JsonArray(figures.fields, JsonField)
            << ", \"warnings\": " << JsonStringArray(report.warnings);
  if (!report.error.empty()) std::cout << ", \"error\": " << JsonString(report.error);
  std::cout << "}\n";
}

}  // namespace

int RunInfo(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {{"--json", false}}, 1);
  const std::string file_name = AbsoluteFromCurrentFolder(line.Positional(0, "FILE"));
  const TInfoReport report = ReadInfo(file_name);
  if (report.figures) {
    if (line.Has("--json")) {
      PrintJson(report);
    } else {
      PrintText(file_name, report);
    }
  }
  if (report.error.empty()) return 0;
  std::cerr << report.error << '\n';
  return 1;
}

}  // namespace dbftool
