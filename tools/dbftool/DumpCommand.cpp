// `dbftool dump FILE [--deleted] [--format csv|json]`: every record of a table in the text
// form of its field objects, as CSV with a header row or as one JSON object. The table
// is opened read-only, so the file stays byte for byte as it was.
#include "DumpCommand.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "CsvText.h"
#include "DbfToolCommands.h"
#include "JsonText.h"
#include "dbf.h"

namespace dbftool {

namespace {

// The first column of a dump with deleted records: "*" on a deleted record, else "".
const char kDeletedColumn[] = "_DELETED";
// The output buffer goes to the stream in pieces of about this size.
constexpr size_t kOutputPiece = 64 * 1024;

struct TDumpOptions {
  std::string file;
  bool deleted = false;
  TDumpFormat format = TDumpFormat::Csv;
};

TDumpFormat ParseFormat(const std::string& name) {
  if (name == "csv") return TDumpFormat::Csv;
  if (name == "json") return TDumpFormat::Json;
  throw TUsageError("Unknown format: " + name + " (csv or json)");
}

TDumpOptions ParseOptions(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {{"--deleted", false}, {"--format", true}}, 1);
  TDumpOptions options;
  options.file = line.Positional(0, "FILE");
  options.deleted = line.Has("--deleted");
  for (const std::string& format : line.Values("--format")) options.format = ParseFormat(format);
  return options;
}

// The column names, and the current record's values as views (readStringView) whose
// strings live as long as the dump, so that reading a record copies only what it must
// convert and allocates nothing once those strings have grown. A null value is the empty
// text.
class TRecordTexts {
 public:
  TRecordTexts(const dbf::TDbf& table, bool deleted)
      : table_(table), first_field_(deleted ? 1 : 0), storage_(static_cast<size_t>(table.fieldCount())) {
    if (deleted) names_.emplace_back(kDeletedColumn);
    for (int i = 0; i < table.fieldCount(); ++i) names_.push_back(table.fieldAt(i).FieldName());
    views_.assign(names_.begin(), names_.end());
  }

  // Before the first Read: the column names.
  const std::vector<std::string_view>& Texts() const { return views_; }

  const std::vector<std::string_view>& Read() {
    if (first_field_ > 0) views_[0] = table_.recordDeleted() ? "*" : "";
    for (size_t i = 0; i < storage_.size(); ++i) {
      views_[first_field_ + i] = table_.fieldAt(static_cast<int>(i)).readStringView(storage_[i]);
    }
    return views_;
  }

 private:
  const dbf::TDbf& table_;
  size_t first_field_;
  std::vector<std::string> names_;
  std::vector<std::string> storage_;
  std::vector<std::string_view> views_;
};

// Text gathered in one buffer and handed to the stream in large pieces.
class TOutputBuffer {
 public:
  explicit TOutputBuffer(std::streambuf& out) : out_(out) { text_.reserve(2 * kOutputPiece); }

  std::string& Text() { return text_; }
  void FlushWhenFull() {
    if (text_.size() >= kOutputPiece) Flush();
  }
  // A stream that cannot take the text keeps the failure; the command reports it at its end.
  void Flush() {
    out_.sputn(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  std::streambuf& out_;
  std::string text_;
};

// Calls `visit` on every record the table shows, in file order.
template <typename Visit>
void ForEachRecord(dbf::TDbf& table, Visit visit) {
  table.moveFirst();
  if (table.isEmpty()) return;
  do {
    visit();
  } while (table.moveNext() == 1);
}

void WriteCsv(dbf::TDbf& table, TRecordTexts& texts, TOutputBuffer& output) {
  AppendCsvRecord(output.Text(), texts.Texts());
  ForEachRecord(table, [&] {
    AppendCsvRecord(output.Text(), texts.Read());
    output.FlushWhenFull();
  });
}

// One record per line, so that large dumps stay readable and diffable.
void WriteJson(dbf::TDbf& table, TRecordTexts& texts, TOutputBuffer& output) {
  std::string& json = output.Text();
  json += "{\"fields\": ";
  AppendJsonStringArray(json, texts.Texts());
  json += ", \"records\": [";
  bool first = true;
  ForEachRecord(table, [&] {
    json += first ? "\n  " : ",\n  ";
    AppendJsonStringArray(json, texts.Read());
    first = false;
    output.FlushWhenFull();
  });
  json += first ? "]}\n" : "\n]}\n";
}

int RunDump(const std::vector<std::string>& arguments) {
  const TDumpOptions options = ParseOptions(arguments);
  dbf::TDbf table;
  PointAtFile(table, options.file);
  CheckTableFile(table.FullName());
  table.SetReadOnly(true);
  table.SetShowDeleted(options.deleted);
  table.open();
  WriteDump(table, options.deleted, options.format, *std::cout.rdbuf());
  table.close();
  return 0;
}

const TCommandRegistration kDump("dump", "FILE [--deleted] [--format csv|json]",
                                 "prints every record as CSV with a header row or as JSON", RunDump);

}  // namespace

void WriteDump(dbf::TDbf& table, bool deleted, TDumpFormat format, std::streambuf& out) {
  TRecordTexts texts(table, deleted);
  TOutputBuffer output(out);
  if (format == TDumpFormat::Json) {
    WriteJson(table, texts, output);
  } else {
    WriteCsv(table, texts, output);
  }
  output.Flush();
}

}  // namespace dbftool
