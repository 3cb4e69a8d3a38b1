// TDbf, the table dataset: one table file presented as an ordered sequence of visible
// records with exactly one current record, a window of buffered records for the bound
// controls, typed field objects, and the edit cycle (insert or edit, then post or
// cancel; delete). Every change of position, state and value goes to its data sources.
// Implemented in dbf.cpp (settings, open and close, fields), DbfNavigation.cpp (record
// window and moves) and DbfEditing.cpp (the edit cycle and record numbers).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DbfDataEvents.h"
#include "DbfFields.h"
#include "DbfObserverList.h"
#include "DbfRecordWindow.h"
#include "UDbfEngine.h"
#include "UDbfFieldDef.h"
#include "UDbfFile.h"

namespace dbf {

class TDataSource;

enum class TDbfOpenMode { omNormal, omAutoCreate, omTemporary };
enum class TDbfStorage { stoMemory, stoAuto, stoFile };
// When what a dataset writes is brought to the device (fdatasync), so that a power cut
// keeps it.
enum class TDbfSyncMode {
  smEachWrite,  // post and deleteRecord return once their record and the header's count are on it
  smAtClose     // only close does: for a run of appends (an import), one sync at its end
};

class TDbf : public TFieldDataSet {
 public:
  TDbf();
  // Closes the table (a pending insert or edit is discarded) and detaches its sources.
  ~TDbf() override;
  TDbf(const TDbf&) = delete;
  TDbf& operator=(const TDbf&) = delete;

  // ---- Settings ----
  // The component name that prefixes dataset messages ("Dbf1: ...").
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const std::string& TableName() const { return table_name_; }
  // A folder part moves into FilePath (and so fails on an open dataset); a bare file
  // name is accepted in any state and used at the next open.
  void SetTableName(const std::string& table_name);
  const std::string& FilePath() const { return file_path_; }
  // Relative paths, the empty one included, are taken against the base folder (DbfPaths).
  // Fails on an open dataset.
  void SetFilePath(const std::string& file_path);
  // The table file's path as the engine receives it; a missing file is looked for under
  // a name that differs only in letter case.
  std::string FullName() const;

  TDbfOpenMode OpenMode() const { return open_mode_; }
  void SetOpenMode(TDbfOpenMode mode) { open_mode_ = mode; }
  // Stored only: every table is a file.
  TDbfStorage Storage() const { return storage_; }
  void SetStorage(TDbfStorage storage) { storage_ = storage; }
  // smEachWrite unless set otherwise; may change in any state.
  TDbfSyncMode SyncMode() const { return sync_mode_; }
  void SetSyncMode(TDbfSyncMode mode) { sync_mode_ = mode; }
  bool ShowDeleted() const { return show_deleted_; }
  void SetShowDeleted(bool show_deleted) { show_deleted_ = show_deleted; }
  bool ReadOnly() const { return read_only_; }
  // Fails on an open dataset.
  void SetReadOnly(bool read_only);
  // The seam this dataset's table file is opened through (its platform files and its
  // notices); empty members stand for the process-wide ones. Used from the next open on:
  // a table file already open in another dataset is shared with that dataset's seam.
  const TFileSeam& FileSeam() const { return seam_; }
  void SetFileSeam(TFileSeam seam) { seam_ = std::move(seam); }
  // The column list from which the table is created; refilled from the file at open.
  TDbfFieldDefs& FieldDefs() { return field_defs_; }
  const TDbfFieldDefs& FieldDefs() const { return field_defs_; }
  const std::string& Version() const;

  bool Active() const { return state_ != TDataSetState::StateInactive; }
  void SetActive(bool active);

  // ---- Field objects ----
  // Declares a field, bound by name at every open and kept across open and close.
  // Fails on an open dataset.
  TField& addField(std::unique_ptr<TField> field);
  int fieldCount() const { return static_cast<int>(fields_.size()); }
  // Case-insensitive, in field order; null when absent.
  TField* findField(const std::string& name) const;
  // As findField; "Field '%s' not found" when absent.
  TField& fieldNamed(const std::string& name) const;
  // "List index out of bounds (%d)" outside 0 to fieldCount() - 1.
  TField& fieldAt(int index) const {
    if (index < 0 || index >= fieldCount()) FieldIndexError(index);
    return *fields_[static_cast<size_t>(index)];
  }

  // ---- Open and close ----
  void open();
  void close();
  // Creates the table file from FieldDefs, emptying an existing one; stays closed.
  // Definitions that no table can hold are refused before the file is made or emptied,
  // and a file made here is removed again when writing it fails.
  void createTable();
  // As createTable, but never touches an existing file: a name that exists (a symbolic
  // link included) fails with EDbfFileError "Cannot create file %s: file exists", also
  // when the file appears after the dataset looked.
  void createNewTable();
  // Fills FieldDefs from the table file without opening the dataset: the file's own
  // definitions, letters as stored (an N column with decimals stays N).
  void updateFieldDefs();

  // ---- Navigation over visible records ----
  void moveFirst();
  void moveLast();
  int moveNext() { return moveBy(1); }
  int movePrior() { return moveBy(-1); }
  // Returns the signed number of records actually moved.
  int moveBy(int distance);
  bool atBof() const { return bof_; }
  bool atEof() const { return eof_; }
  bool isEmpty() const { return window_.Empty(); }

  // ---- Edit cycle ----
  // startInsert, startAppend, startEdit and deleteRecord refuse a dataset that cannot be
  // modified (canModify), with the reason cannotModifyReason gives. A table that refuses
  // writes (its fields do not fill its header's record length: writing it would corrupt
  // it for every other reader; TPagedFile::RefuseWrites), and a FoxPro table, are read as usual.
  void startInsert();
  void startAppend();
  void startEdit();
  // post and deleteRecord return once the record is on the device (SyncMode). A write or
  // sync that fails raises EDbfFileError and leaves the editing state and the buffer as
  // they were: posting again stores the record again (an append may then be stored twice,
  // never lost).
  void post();
  void cancel();
  void deleteRecord();
  // Also derives the record count from the file again: records that other programs
  // appended become visible.
  void refresh();
  void leaveEditing();
  void writeBack();

  // Appends of several programs to one table are kept apart by the table's append lock,
  // which every post of a new record takes for its write. lockAppends holds it until
  // unlockAppends or close, for a run of appends: other programs' appends wait meanwhile
  // (their navigation and edits do not), and this dataset's appends skip taking it.
  // A killed program's lock is released by the system.
  void lockAppends();
  void unlockAppends();

  // Deleted records included; 0 when closed.
  int32_t recordCount() const;
  // The physical number of the current record; 0 when closed.
  int32_t recordNumber();
  // Positions on physical record `number` (no range check) and re-reads the window.
  void setRecordNumber(int32_t number);
  // Whether the current record carries a deletion mark (any flag byte but a blank, as
  // fetching hides them); such a record is current only with ShowDeleted. False on a
  // closed or empty dataset.
  bool recordDeleted() const;

  TDataSetState state() const { return state_; }
  // False when ReadOnly is set or the open table cannot be written (TPagedFile::Writable),
  // as the table's reader knows at open: the bound controls then ask for no edit.
  bool canModify() const;
  // Why not, as the message that a change then raises: "Cannot modify a read-only
  // dataset" (with the dataset's name) or the table's own reason ("Cannot write file %s:
  // its header gives records of ..."); empty when canModify().
  std::string cannotModifyReason() const;
  bool modified() const { return modified_; }

  // ---- The record window, for data links ----
  int windowSize() const { return window_.Size(); }
  int validBufferCount() const { return window_.Count(); }
  int activeBufferIndex() const { return window_.ActiveIndex(); }
  // Lets a multi-row control read the fields of row `index` of the window.
  // REQUIRES: 0 <= index < validBufferCount().
  void setActiveBufferIndex(int index) { window_.SetActiveIndex(index); }

  // ---- TFieldDataSet ----
  bool GetFieldData(const TField& field, TFieldType type, void* dest) const override;
  bool GetFieldText(const TField& field, TFieldText& text) const override;
  const TTableCodePage& CodePage() const override;
  void SetFieldData(TField& field, TFieldType type, const void* source) override;
  bool CanModify() const override { return canModify(); }
  void FieldLayoutChanged(TField& field) override;

 private:
  friend class TDataSource;

  enum class TPlacement { Failed, Added, Shifted };

  // Data sources attach themselves; the window follows their links' buffer counts.
  void attachDataSource(TDataSource* source);
  void detachDataSource(TDataSource* source);
  void updateBufferCount();
  int wantedWindowSize() const;

  [[noreturn]] void databaseError(const std::string& message) const;
  [[noreturn]] static void FieldIndexError(int index);
  void checkOpen() const;
  void checkInactive() const;
  void checkModifiable() const;
  void checkNotEmpty() const;
  bool editing() const;
  void setState(TDataSetState state);
  void dataEvent(TDataEvent event, intptr_t argument = 0);

  // Opening and closing (dbf.cpp).
  void createTableFile(TCreation creation);
  void openTable();
  void abandonOpen() noexcept;
  void fillFieldDefsFromFields();
  void createDefaultFields();
  void bindFields();
  void bindField(TField& field);
  void releaseFields();

  // The record window (DbfNavigation.cpp).
  bool fetchIntoSpare(TFetchMode mode);
  TPlacement fetchNextRecord();
  TPlacement fetchPriorRecord();
  void fillForward();
  void fillBackward();
  void syncCursorTo(int index);
  void syncCursorToActive();
  void clearWindow();
  void rereadWindow();
  // The record just written, still in the active buffer, becomes the current record
  // without being read back: its bytes on disk are those of the buffer.
  // REQUIRES: the cursor stands on the written record.
  void rereadWindowAfterWrite();
  void rebuildWindowAroundSpare(int former_active);
  bool stepForward(int& shift);
  bool stepBackward(int& shift);

  // The edit cycle (DbfEditing.cpp).
  void blankSpare(TRecordFlag flag);
  void checkRequiredFields();
  void storeActiveRecord();
  void syncWrites();

  std::string name_;
  std::string table_name_;
  std::string file_path_;
  std::string resolved_folder_;
  TDbfOpenMode open_mode_ = TDbfOpenMode::omAutoCreate;
  TDbfStorage storage_ = TDbfStorage::stoFile;
  TDbfSyncMode sync_mode_ = TDbfSyncMode::smEachWrite;
  bool show_deleted_ = false;
  bool read_only_ = false;
  TFileSeam seam_;
  TDbfFieldDefs field_defs_;

  std::vector<std::unique_ptr<TField>> fields_;
  bool default_fields_ = false;  // fields_ were made from the columns at open
  std::vector<TColumnDef> columns_;
  // Where each column lies in a record, found once per open for the field reads.
  std::vector<TFieldSpan> column_spans_;

  TDbfEngine engine_;
  TRecordWindow window_;
  TDataSetState state_ = TDataSetState::StateInactive;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;

  TObserverList<TDataSource> data_sources_;
};

}  // namespace dbf
