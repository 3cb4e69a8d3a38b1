// The table file engine: shared opening through the registry, fetching with hidden
// deleted records skipped, appending and rewriting records, and closing.
#include "UDbfEngine.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "DbfPaths.h"
#include "UDbfFile.h"

namespace dbf {

namespace {

// Formats `file` from `defs`; a file made by this open is removed again when that fails,
// so that no empty file is left that a retry would take for a table.
void FormatOrRemove(TDbfFile& file, const TDbfFieldDefs& defs, bool made_here) {
  try {
    file.FormatTable(defs);
  } catch (...) {
    if (made_here) {
      std::error_code ignored;  // the formatting error is the one to report
      std::filesystem::remove(file.FileName(), ignored);
    }
    throw;
  }
}

}  // namespace

TDbfEngine::~TDbfEngine() {
  try {
    Close();
  } catch (const std::exception& error) {
    seam_.Notice(error.what());
  }
}

void TDbfEngine::Open(const TDbfFieldDefs& defs, const std::string& full_name, const TOpenOptions& options) {
  read_only_ = options.read_only;
  seam_ = options.seam;
  const bool format_any = FormatsAnyFile(options.creation);
  // Definitions no table can hold are refused before a file is made or emptied.
  std::error_code ignored;  // a name that cannot be looked at fails at the open below
  const bool missing = !std::filesystem::exists(MatchExistingCase(full_name), ignored);
  if (format_any || (MakesMissingFile(options.creation) && missing)) TDbfFile::CheckNewTable(defs);
  bool made_here = false;
  std::shared_ptr<TDbfFile> shared = TDbfFile::OpenShared(full_name, options, made_here);
  TDbfFile& file = *shared;
  // The cursor holds the file from the start, so a failure below releases a new object
  // and takes it out of the registry again.
  auto cursor = std::make_unique<TDbfCursor>(std::move(shared));
  // A file that another dataset created is shared as it stands: formatting it again
  // would wipe the records appended through that dataset.
  if (format_any || (made_here && file.IsNew())) FormatOrRemove(file, defs, made_here && file.IsNew());
  record_cursor_ = std::move(cursor);
  current_cursor_ = record_cursor_.get();
  scratch_.assign(static_cast<size_t>(std::max(file.RecordSize(), 0)), 0);
  file_ = &file;
}

void TDbfEngine::Close() {
  if (!Active()) return;
  const std::shared_ptr<TDbfFile> file = record_cursor_->FileHandle();
  std::exception_ptr failure;
  try {
    // A table only read stays as it is, byte for byte. A shared file first opened
    // read-only cannot take a header through its handle, nor a table whose header its
    // reader refuses to write.
    if (!read_only_ && file->Writable() && file->HeaderDue()) file->StoreHeader();
  } catch (...) {
    failure = std::current_exception();
  }
  Release();
  // The last user closes the file itself, so that an error the system reports at the
  // close is heard; the first failure is the one reported.
  if (file.use_count() == 1) {
    try {
      file->CloseFile();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TDbfEngine::Sync() { file_->Sync(); }

void TDbfEngine::Release() {
  UnlockAppends();
  current_cursor_ = nullptr;
  record_cursor_.reset();
  scratch_.clear();
  file_ = nullptr;
}

int32_t TDbfEngine::RecordCount() const { return file_->RecordCount(); }

int32_t TDbfEngine::RecordSize() const { return Active() ? file_->RecordSize() : 0; }

TFetchResult TDbfEngine::FetchRecord(std::vector<uint8_t>& record, TFetchMode mode, bool show_deleted) {
  if (RecordCount() < 1) return TFetchResult::FetchEof;
  for (;;) {
    const TFetchResult result = FetchStep(mode);
    if (result != TFetchResult::FetchOk) return result;
    if (Visible(show_deleted)) {
      // What the caller held becomes the scratch buffer: it must be of the record's size.
      record.resize(scratch_.size());
      record.swap(scratch_);
      return TFetchResult::FetchOk;
    }
    if (mode == TFetchMode::FetchCurrent) return TFetchResult::FetchError;
  }
}

TFetchResult TDbfEngine::FetchStep(TFetchMode mode) {
  TVirtualCursor& cursor = *current_cursor_;
  if (mode == TFetchMode::FetchNext && !cursor.MoveNext()) {
    cursor.MoveLast();
    return TFetchResult::FetchEof;
  }
  if (mode == TFetchMode::FetchPrior && !cursor.MovePrior()) {
    cursor.MoveFirst();
    return TFetchResult::FetchBof;
  }
  const int32_t position = cursor.PhysicalRecordNumber();
  if (position < 1 || position > RecordCount() || !file_->LoadRecord(position, scratch_.data())) {
    return TFetchResult::FetchError;
  }
  return TFetchResult::FetchOk;
}

bool TDbfEngine::Visible(bool show_deleted) const { return show_deleted || scratch_[0] == kValidRecordFlag; }

void TDbfEngine::StoreNewRecord(const uint8_t* buffer) {
  file_->CheckWritable();
  const int32_t record_number = file_->AppendRecord(buffer);
  record_cursor_->InsertKey(record_number, buffer);
  if (file_->LongLayout()) file_->AdvanceAutoIncValues();
}

void TDbfEngine::StoreCurrentRecord(const uint8_t* buffer) {
  file_->CheckWritable();
  const int32_t record_number = current_cursor_->PhysicalRecordNumber();
  // Writing past the count would leave a gap of garbage records in the file.
  if (record_number < 1 || record_number > RecordCount()) {
    throw EDbfEngineError("Record number out of range : " + std::to_string(record_number));
  }
  file_->RewriteRecord(record_number, buffer);
}

void TDbfEngine::RefreshRecordCount() { file_->RefreshRecordCount(); }

void TDbfEngine::LockAppends() {
  if (holds_append_lock_) return;
  file_->LockAppends();
  holds_append_lock_ = true;
}

void TDbfEngine::UnlockAppends() {
  if (!holds_append_lock_) return;
  holds_append_lock_ = false;
  file_->UnlockAppends();
}

void TDbfEngine::FillFieldDefs(TDbfFieldDefs& defs, std::vector<TColumnDef>& columns) {
  const TDbfFieldDefs& own = file_->LoadedFieldDefs();
  defs.Clear();
  columns.clear();
  for (int i = 0; i < own.Count(); ++i) {
    const TDbfFieldDef& column = own.Items(i);
    defs.AddCopy(column, TDbfFieldDefs::kLetterOfType);
    // The column as the table has it: a FoxPro column's type may have no letter of ours.
    const bool text = column.FieldType() == TFieldType::ftString;
    columns.push_back({column.Name(), column.FieldType(), text ? column.Size() : 0});
  }
}

}  // namespace dbf
