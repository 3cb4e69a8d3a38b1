// Fuzz target for the table dataset: a table (from the corpus, or any bytes) is opened
// through TDbf and driven through a sequence of operations the input spells out (moves,
// setRecordNumber, insert, append, edit, field values, post, cancel, delete, refresh,
// another program appending, close and reopen, a power cut). After every step it checks
// what a user relies on: every posted record reads back from the file with the values
// posted, the record count follows the file-size rule, the current record is a visible
// one within the count, and steps that store nothing leave the file as it was. A power
// cut throws away everything written since the last sync (the memory files keep what
// each file held then) and kills the program: it must lose nothing that a returned step
// wrote, and the table must open again with no header notice but those it had at first
// and the record count's. The library may raise its own EDatabaseError; any other
// exception, a failed check or a sanitizer finding is a crash.
//
// Input: one byte of options (window rows, ShowDeleted), two bytes of table length L
// (little-endian), L bytes of table file, then the operations.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "DbfDataSource.h"
#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "MemoryFiles.h"
#include "dbf.h"

namespace {

using dbf::TDataSetState;
using dbf::TDbf;
using dbf::fuzz::TBytes;

// Appends may grow the table; past this the memory file reports a full disk.
constexpr int64_t kLargestFile = int64_t{1} << 20;
constexpr size_t kMostOperations = 96;
// Keeps one input's work bounded: a header of thousands of fields costs every open
// thousands of field objects, and the file target covers such headers already.
constexpr uint32_t kLargestHeader = 2048;

dbf::fuzz::TMemoryFiles& Files() {
  static dbf::fuzz::TMemoryFiles files(kLargestFile);
  return files;
}

// The header notices of the current open.
std::vector<std::string>& Notices() {
  static std::vector<std::string> notices;
  return notices;
}

// The memory files, with the notices collected.
dbf::TFileSeam Seam() {
  return Files().Seam([](const std::string& notice) { Notices().push_back(notice); });
}

[[noreturn]] void Broken(const std::string& invariant) {
  std::fprintf(stderr, "invariant broken: %s\n", invariant.c_str());
  std::abort();
}

void Check(bool holds, const std::string& invariant) {
  if (!holds) Broken(invariant);
}

// The input, consumed from the front; an exhausted input reads as zeros.
class TScript {
 public:
  TScript(const uint8_t* data, size_t size) : data_(data), left_(size) {}
  bool Empty() const { return left_ == 0; }
  uint8_t Byte() {
    if (left_ == 0) return 0;
    --left_;
    return *data_++;
  }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
  TBytes Bytes(size_t count) {
    count = std::min(count, left_);
    TBytes bytes(data_, data_ + count);
    data_ += count;
    left_ -= count;
    return bytes;
  }
  // A field value: raw bytes, or text from the characters numbers and dates are made of.
  std::string Text() {
    const uint8_t shape = Byte();
    const TBytes bytes = Bytes((shape & 0x7F) % 24);
    std::string text(bytes.begin(), bytes.end());
    if (shape & 0x80) {
      static const char kNumberCharacters[] = "0123456789-+. eE";
      for (char& c : text) c = kNumberCharacters[static_cast<uint8_t>(c) % 16];
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t left_;
};

dbf::THeaderPrefix PrefixOf(const TBytes& file) { return dbf::ReadHeaderPrefix(file.data(), file.size()); }

// The record count the file size gives, as the table derives it.
int32_t CountBySize(const TBytes& file) {
  const int64_t header = PrefixOf(file).header_length;
  const int64_t record = PrefixOf(file).record_length;
  if (record == 0) return 0;
  return static_cast<int32_t>(std::max<int64_t>(0, (static_cast<int64_t>(file.size()) - header) / record));
}

bool Editing(const TDbf& table) {
  return table.state() == TDataSetState::StateEdit || table.state() == TDataSetState::StateInsert;
}

std::vector<std::string> FieldTexts(const TDbf& table) {
  std::vector<std::string> texts;
  for (int i = 0; i < table.fieldCount(); ++i) texts.push_back(table.fieldAt(i).readString());
  return texts;
}

// One run: the dataset under test, a second read-only dataset on the same file (it shares
// the file object and reads records from the file), and what was posted.
class TRun {
 public:
  TRun(const std::string& path, int rows, bool show_deleted) : path_(path) {
    table_.SetTableName(path);
    table_.SetOpenMode(dbf::TDbfOpenMode::omNormal);
    table_.SetShowDeleted(show_deleted);
    table_.SetFileSeam(Seam());
    source_.SetDataSet(&table_);
    link_.SetDataSource(&source_);
    link_.SetBufferCount(rows);
    reader_.SetTableName(path);
    reader_.SetOpenMode(dbf::TDbfOpenMode::omNormal);
    reader_.SetReadOnly(true);
    reader_.SetShowDeleted(true);
    reader_.SetFileSeam(Seam());
  }

  bool Open() {
    Notices().clear();
    try {
      table_.open();
      reader_.open();
    } catch (const dbf::EDatabaseError&) {
      return false;
    }
    others_appended_ = false;
    CheckAll();
    return true;
  }

  // The notices of the first open: a power cut may bring back none but these and the
  // record count's.
  void RememberFirstNotices() { first_notices_ = Notices(); }

  void Step(TScript& script) {
    const uint8_t operation = script.Byte() % 18;
    before_ = File();
    const TPendingPost pending = PendingPost();
    bool stores = !pending.texts.empty();
    bool raised = false;
    try {
      stores |= Perform(operation, script);
    } catch (const dbf::EDatabaseError&) {
      raised = true;
    }
    if (!pending.texts.empty() && operation != kReopen && operation != kPowerCut && Posted(pending)) {
      Remember(pending);
    }
    if (!stores) Check(File() == before_, "a step that stores nothing changed the file");
    CheckSynced(raised);
    if (table_.Active()) CheckAll();
  }

  void Close() {
    reader_.close();
    table_.close();
  }

 private:
  // The record that leaving the editing state will post, with its values.
  struct TPendingPost {
    TDataSetState state = TDataSetState::StateInactive;
    int32_t record_number = 0;
    std::vector<std::string> texts;
  };

  TPendingPost PendingPost() {
    if (!table_.Active() || !Editing(table_) || !table_.modified()) return {};
    const int32_t number = table_.state() == TDataSetState::StateEdit ? table_.recordNumber() : 0;
    return {table_.state(), number, FieldTexts(table_)};
  }

  // Whether the pending record reached the file: the step left that editing state (a
  // post, or a delete that marks the edited record) and the file changed.
  bool Posted(const TPendingPost& pending) const {
    if (!table_.Active()) return false;
    if (table_.state() == pending.state && table_.modified()) return false;
    return File() != before_;
  }

  // An appended record is the last one: nothing else appends within a step.
  void Remember(const TPendingPost& pending) {
    if (pending.state == TDataSetState::StateInsert) {
      posted_[CountBySize(File())] = pending.texts;
      others_appended_ = false;  // an append finds the end of the table anew
    } else {
      posted_[pending.record_number] = pending.texts;
    }
  }

  const TBytes& File() const { return Files().Contents(path_); }

  static constexpr uint8_t kReopen = 14;
  static constexpr uint8_t kOthersAppend = 16;
  static constexpr uint8_t kPowerCut = 17;

  // Returns whether the operation may store something of its own.
  bool Perform(uint8_t operation, TScript& script) {
    switch (operation) {
      case 0:
        table_.moveFirst();
        return false;
      case 1:
        table_.moveLast();
        return false;
      case 2:
        table_.moveNext();
        return false;
      case 3:
        table_.movePrior();
        return false;
      case 4:
        table_.moveBy(static_cast<int8_t>(script.Byte()));
        return false;
      case 5:
        table_.setRecordNumber(static_cast<int32_t>(script.Byte() % (table_.recordCount() + 4)) - 1);
        return false;
      case 6:
        table_.startInsert();
        return false;
      case 7:
        table_.startAppend();
        return false;
      case 8:
        table_.startEdit();
        return false;
      case 9:
        WriteField(script, false);
        return false;
      case 10:
        Post();
        return true;
      case 11:
        table_.cancel();
        return false;
      case 12:
        table_.deleteRecord();
        return true;
      case 13:
        Refresh();
        return false;
      case kReopen:
        Reopen();
        return true;  // closing writes the header
      case 15:
        WriteField(script, true);
        return false;
      case kOthersAppend:
        AppendAsAnotherProgram(script);
        return true;
      default:  // kPowerCut
        CutPower();
        return false;
    }
  }

  // As a bound control does: an edit starts on the first keystroke. (The dataset lets a
  // field be assigned in StateBrowse too, changing only the buffered copy; no control
  // does that.)
  void WriteField(TScript& script, bool clear) {
    const int index = script.Byte() % std::max(1, table_.fieldCount());
    const std::string text = clear ? std::string() : script.Text();
    if (!Editing(table_)) table_.startEdit();
    if (clear) {
      table_.fieldAt(index).clearValue();
    } else {
      table_.fieldAt(index).writeString(text);
    }
  }

  void Post() {
    if (!Editing(table_)) return;
    const TDataSetState state = table_.state();
    const int32_t number = state == TDataSetState::StateEdit ? table_.recordNumber() : 0;
    const std::vector<std::string> texts = FieldTexts(table_);
    table_.post();
    const int32_t stored = state == TDataSetState::StateInsert ? table_.recordCount() : number;
    Check(table_.recordNumber() == stored, "a posted record is current after the post");
    Check(FieldTexts(table_) == texts, "a posted record shows the values posted");
    Remember({state, stored, texts});
  }

  void Refresh() {
    table_.refresh();
    others_appended_ = false;
  }

  void Reopen() {
    Close();
    Open();
  }

  // A step that returned has everything it wrote on the device (the memory file's synced
  // copy). A step that raised may leave writes behind that were not synced; the promise
  // holds again once a step brings them all to the device.
  void CheckSynced(bool raised) {
    const bool synced = File() == Files().SyncedContents(path_);
    if (!raised && !unsynced_after_failure_) Check(synced, "a step returned before its writes were on the device");
    unsynced_after_failure_ = !synced;
  }

  // The program dies with the power: its datasets' closes fail on dead handles and write
  // nothing. Whatever a step wrote and returned from was synced, so the file is as it
  // was and every record whose post returned reads back (CheckAll, in Open); what was
  // being typed is gone.
  void CutPower() {
    const TBytes before = File();
    Files().CutPower();
    for (TDbf* dataset : {&reader_, &table_}) {
      try {
        dataset->close();
      } catch (const dbf::EDatabaseError&) {
      }
    }
    Check(unsynced_after_failure_ || File() == before, "a power cut lost what a returned step wrote");
    unsynced_after_failure_ = false;
    Check(Open(), "the table opens again after a power cut");
    for (const std::string& notice : Notices()) {
      const bool first = std::find(first_notices_.begin(), first_notices_.end(), notice) != first_notices_.end();
      Check(first || notice.rfind("Invalid Record Count", 0) == 0, "a power cut left a header notice: " + notice);
    }
  }

  // Another program appends a record as this library does: record and end marker, then
  // the header's count, synced. Until this dataset refreshes or appends, its count lags.
  void AppendAsAnotherProgram(TScript& script) {
    const TBytes& file = File();
    const int64_t record_length = PrefixOf(file).record_length;
    if (record_length == 0 || file.size() < 12) return;
    const int32_t count = CountBySize(file);
    const size_t end = static_cast<size_t>(PrefixOf(file).header_length) + static_cast<size_t>(count) * record_length;
    if (end + record_length + 1 > kLargestFile) return;
    TBytes record = script.Bytes(static_cast<size_t>(record_length));
    record.resize(static_cast<size_t>(record_length), ' ');
    record.push_back(dbf::kEndMarker);
    for (TBytes* copy : {&Files().Contents(path_), &Files().SyncedContents(path_)}) {
      if (copy->size() < end + record.size()) copy->resize(end + record.size());
      std::copy(record.begin(), record.end(), copy->begin() + static_cast<std::ptrdiff_t>(end));
      dbf::StoreLittleEndian(copy->data(), copy->size(), dbf::kRecordCountAt, 4, static_cast<uint32_t>(count + 1));
    }
    others_appended_ = true;
  }

  void CheckAll() {
    if (!others_appended_) {
      Check(table_.recordCount() == CountBySize(File()), "the record count follows the file size");
    }
    if (table_.state() == TDataSetState::StateBrowse && !table_.isEmpty()) {
      const int32_t number = table_.recordNumber();
      Check(number >= 1 && number <= table_.recordCount(), "the current record lies within the count");
      Check(table_.ShowDeleted() || !table_.recordDeleted(), "the current record is visible");
    }
    for (const auto& [number, texts] : posted_) {
      if (number > reader_.recordCount()) continue;
      reader_.setRecordNumber(number);
      Check(reader_.recordNumber() == number, "a posted record can be read");
      Check(FieldTexts(reader_) == texts, "a posted record reads back with the values posted");
    }
  }

  std::string path_;
  TDbf table_;
  dbf::TDataSource source_;
  dbf::TDataLink link_;
  TDbf reader_;
  std::map<int32_t, std::vector<std::string>> posted_;
  bool others_appended_ = false;
  TBytes before_;  // the file before the step
  std::vector<std::string> first_notices_;
  bool unsynced_after_failure_ = false;  // see CheckSynced
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TScript script(data, size);
  const uint8_t options = script.Byte();
  const TBytes table = script.Bytes(script.Word());
  if (static_cast<uint32_t>(PrefixOf(table).header_length) > kLargestHeader) return 0;
  const std::string path = Files().Put("TABLE.DBF", table.data(), table.size());
  TRun run(path, 1 + options % 4, (options & 0x10) != 0);
  if (!run.Open()) return 0;
  run.RememberFirstNotices();
  for (size_t step = 0; step < kMostOperations && !script.Empty(); ++step) run.Step(script);
  run.Close();
  return 0;
}
