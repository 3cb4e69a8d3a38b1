// The core of `dbftool dump` and of the CSV and JSON exports: every record a table shows,
// in the text form of its field objects, as CSV with a header row or as one JSON object.
// Each field is read into a string that lives as long as the dump, and the output goes out
// through one buffer.
#include "DumpWriter.h"

#include <string>
#include <string_view>
#include <vector>

#include "CsvText.h"
#include "JsonText.h"
#include "dbf.h"

namespace dbftool {

namespace {

// The first column of a dump with deleted records: "*" on a deleted record, else "".
const char kDeletedColumn[] = "_DELETED";
// The output buffer goes to the stream in pieces of about this size.
constexpr size_t kOutputPiece = 64 * 1024;

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
