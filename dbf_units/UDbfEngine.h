// The table file engine of one dataset: it opens (or creates) a shared table file through
// the open-file registry, holds the record cursor that keeps the file open, fetches
// records for the dataset's navigation, stores new and changed records, and writes the
// header back at close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DbfFieldTypes.h"
#include "DbfOpenOptions.h"
#include "UDbfCursor.h"

namespace dbf {

class TDbfFile;
class TDbfFieldDefs;

enum class TFetchMode { FetchCurrent, FetchNext, FetchPrior };
enum class TFetchResult { FetchOk, FetchBof, FetchEof, FetchError };

// A column as the dataset presents it: its fields are made from these.
struct TColumnDef {
  std::string name;
  TFieldType field_type = TFieldType::ftUnknown;
  int32_t size = 0;  // the length for ftString columns, else 0
};

class TDbfEngine {
 public:
  TDbfEngine() = default;
  ~TDbfEngine();
  TDbfEngine(const TDbfEngine&) = delete;
  TDbfEngine& operator=(const TDbfEngine&) = delete;

  // Opens `full_name` as `options` say, sharing a file object already in the registry as
  // it is (without reading it again; TDbfFile::OpenShared). A new file, or any file when
  // the options' creation formats any file (TCreation::Replace), is formatted from
  // `defs`; the caller copies the definitions of an existing one (FillFieldDefs, or
  // File().CopyFieldDefs to keep their letters). The definitions are checked
  // (TDbfFile::CheckNewTable) before a file is made or emptied; a file this call made is
  // removed again when formatting it fails. TCreation::CreateNew refuses an existing file
  // (see TPagedFile) instead of emptying it. The engine's own notices (a failed close in
  // its destructor) go to the options' seam too.
  // REQUIRES: !Active(). Throws the file layer's errors; nothing stays open then.
  void Open(const TDbfFieldDefs& defs, const std::string& full_name, const TOpenOptions& options);
  // Writes the header when the table was written since it was opened (not when
  // read-only, or the table refuses writes: TPagedFile::Writable), returning once it is
  // on the device, and releases the file; the last user closes it. Everything is
  // released even when writing the header or closing the file fails; the first error
  // then propagates.
  void Close();
  bool Active() const { return file_ != nullptr; }

  // REQUIRES: Active().
  TDbfFile& File() const { return *file_; }
  TVirtualCursor& CurrentCursor() const { return *current_cursor_; }
  int32_t RecordCount() const;
  // The open table's record length; 0 when closed.
  int32_t RecordSize() const;

  // REQUIRES: Active(). Moves the current cursor as `mode` asks, walking over records
  // marked deleted unless `show_deleted`, and reads the record it then stands on into
  // `record` (RecordSize() bytes). On FetchOk the cursor's position is the record's
  // number; any other result leaves `record` as it was. A record is read into the
  // engine's scratch buffer, which then trades places with `record`, so nothing is copied.
  TFetchResult FetchRecord(std::vector<uint8_t>& record, TFetchMode mode, bool show_deleted);
  // REQUIRES: Active(). Appends `buffer` as the new last record, after those that other
  // programs appended meanwhile (TDbfFile::AppendRecord), and places the cursor on it. A
  // failed write throws EDbfFileError; the cursor stays unchanged. Both stores refuse a
  // table that refuses writes (TPagedFile::CheckWritable).
  void StoreNewRecord(const uint8_t* buffer);
  // REQUIRES: Active(), the cursor on a record. Writes `buffer` over that record, unless
  // another program changed the table underneath (TDbfFile::RewriteRecord).
  void StoreCurrentRecord(const uint8_t* buffer);

  // REQUIRES: Active(). Returns once every record stored so far, and the header's
  // count, is on the device (TPagedFile::Sync).
  void Sync();

  // REQUIRES: Active(). Derives the record count from the file again.
  void RefreshRecordCount();
  // REQUIRES: Active(). Holds the table's append lock until UnlockAppends or Close, so
  // that other programs' appends wait and this engine's appends need not take it each
  // time. Holding it twice is holding it once.
  void LockAppends();
  void UnlockAppends();

  // REQUIRES: Active(). Replaces `defs` with copies of the table's own definitions (name,
  // length, decimals, then field type, so each letter follows from the type again) and
  // `columns` with the dataset's view of the table's columns, with their field types as
  // read (a FoxPro column's type may have no letter of ours).
  void FillFieldDefs(TDbfFieldDefs& defs, std::vector<TColumnDef>& columns);

 private:
  TFetchResult FetchStep(TFetchMode mode);
  bool Visible(bool show_deleted) const;
  void Release();

  TDbfFile* file_ = nullptr;
  std::unique_ptr<TVirtualCursor> record_cursor_;
  TVirtualCursor* current_cursor_ = nullptr;
  // Fetches read here first, so that a failed or hidden fetch leaves the caller's
  // record as it was.
  std::vector<uint8_t> scratch_;
  bool read_only_ = false;
  TFileSeam seam_;
  bool holds_append_lock_ = false;
};

}  // namespace dbf
