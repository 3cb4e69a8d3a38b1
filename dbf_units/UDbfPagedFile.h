// A paged file is a header area of HeaderSize bytes followed by fixed-size records of
// RecordSize bytes. It owns the platform file and an in-memory copy of the header, and
// every open paged file sits in one process-wide registry keyed by its full path, so
// that two datasets on the same table share one file object (TDbfFile::OpenShared).
// Appends of several programs to one file are serialised by the append lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DbfErrors.h"
#include "DbfFileIO.h"
#include "DbfOpenOptions.h"

namespace dbf {

class TPagedFile {
 public:
  // Opens the existing file `file_name` (an absolute path) read-only or for reading and
  // writing through the options' seam; creates it when it is missing and the options'
  // creation makes a missing file. TCreation::CreateNew refuses an existing file instead
  // of opening it. Creating never opens a file that appeared meanwhile nor follows a
  // symbolic link. Adds the new object to the registry.
  // Throws EDbfFileError: "Open: Table file not found : %s", "Cannot open file %s: %s",
  // "Cannot create file %s: %s" (the second %s says why: "permission denied", "is a
  // directory", "is not a regular file", "no such folder", "file exists", ...).
  TPagedFile(const std::string& file_name, const TOpenOptions& options);
  virtual ~TPagedFile();  // removes the object from the registry and closes the file

  TPagedFile(const TPagedFile&) = delete;
  TPagedFile& operator=(const TPagedFile&) = delete;

  const std::string& FileName() const { return file_name_; }
  bool IsNew() const { return is_new_; }
  bool ReadOnly() const { return read_only_; }
  // The seam the file was opened through; its notices go there (Notice).
  const TFileSeam& Seam() const { return seam_; }
  void Notice(const std::string& text) const { seam_.Notice(text); }

  // Whether the file's contents may be written: not when it was opened read-only, nor
  // when what reads its header knows at open that writing would damage it (RefuseWrites).
  bool Writable() const { return !read_only_ && refusal_.empty(); }
  // Why not, as the message of the EDbfFileError a write then raises: "Cannot write file
  // %s: it is open read-only" or "Cannot write file %s: <the reader's reason>"; empty
  // when Writable().
  std::string WriteRefusal() const;
  // Throws that EDbfFileError unless Writable().
  void CheckWritable() const;

  int32_t HeaderSize() const { return header_size_; }
  int32_t RecordSize() const { return record_size_; }
  int32_t RecordCount() const { return record_count_; }
  // Throws EDbfFileError "Cannot read file %s" when the platform cannot tell the size.
  [[nodiscard]] int64_t FileSize();

  // Re-reads the first `size` bytes of the file into a new zero-filled header buffer
  // (unless the size is unchanged) and derives the record count again. Throws
  // EDbfFileError "Cannot read file %s" when the platform fails the read.
  void SetHeaderSize(int32_t size);
  void SetRecordSize(int32_t size);
  // Cuts or extends the file to HeaderSize + count * RecordSize bytes.
  void ResizeToRecords(int32_t count);

  uint8_t* HeaderBuffer() { return header_.data(); }
  const uint8_t* HeaderBuffer() const { return header_.data(); }

  // REQUIRES: 1 <= n. Reads RecordSize bytes of record n; false on a failed or short read.
  [[nodiscard]] bool LoadRecord(int32_t n, uint8_t* buffer);
  // REQUIRES: 1 <= n, a file opened for writing. Writes RecordSize bytes as record n;
  // afterwards RecordCount is at least n. Throws EDbfFileError "Cannot write file %s" on
  // a failed or short write (the count is then unchanged) and when the record would end
  // past 2 GiB.
  void StoreRecord(int32_t n, const uint8_t* buffer);
  // Writes the header buffer at offset 0.
  virtual void StoreHeader();

  // Whether anything was written since the file was opened or its header last went out:
  // only then is a header due at close, so that a table only read stays byte for byte.
  bool HeaderDue() const { return header_due_; }
  // Returns once everything written so far is on the device (fdatasync), so that a power
  // cut keeps it; nothing to do when nothing was written since the last sync. Throws
  // EDbfFileError "Cannot write file %s" (with the system's reason) when the platform
  // fails: what was written since the last sync may then be lost.
  void Sync();
  // Closes the platform file. Throws EDbfFileError "Cannot close file %s" (with the
  // system's reason) when the system reports an error at the close. The object takes no
  // transfer afterwards.
  void CloseFile();

  // The append lock (what it is: DbfFileIO.cpp). LockAppends waits while another program
  // holds it, then derives the record count again: under the lock, the table ends where
  // the file ends. Calls nest; only the outermost takes and releases the lock. On a file
  // system that refuses record locks appends go on unlocked, so that a user working alone
  // is never stopped; a notice (Notice) says once per file and process that other programs'
  // appends are not kept apart there. Throws EDbfFileError "Cannot lock file %s" when
  // the platform fails otherwise.
  void LockAppends();
  // Without waiting and without deriving the count: false, with nothing taken, when
  // another program holds the lock. A refusing file system counts as granted.
  [[nodiscard]] bool TryLockAppends();
  void UnlockAppends();
  bool HoldsAppendLock() const { return append_lock_depth_ > 0; }

  // The registry. FindOpenFile compares canonical full paths exactly, letter case
  // included: symbolic links and '.'/'..' are resolved, and a missing name stands for the
  // existing file that differs from it only in letter case (see MatchExistingCase), as
  // the constructor opens that file. A file this process created stays closed to other
  // file objects until its creator is destroyed.
  static TPagedFile* FindOpenFile(const std::string& file_name);

 protected:
  // Before a write into a file another program may have changed: throws EDbfFileError
  // "Cannot write file %s: it was deleted by another program since it was opened" (or
  // "replaced") unless the open file is still the file at its path, with the system's
  // reason when the path cannot be looked at. Returns the file's size.
  int64_t CheckStillAtPath();
  // The message of a write refused because another program changed the file: `change` is
  // "deleted", "replaced" or "cut short".
  EDbfFileError ChangedUnderneath(const std::string& change) const;
  // A run of appends under a held append lock looks at the file cheaply: true when this
  // program has held the lock since a full look (KnowSizeLeft) and the open file still has
  // a name, the size this program's own writes left it at, and at least `reach` bytes, so
  // that no other program wrote meanwhile. False asks for the full look.
  [[nodiscard]] bool StillAsLeft(int64_t reach);
  // After a full look that found the file unchanged: its size, which this program's own
  // writes follow from then on, while it holds the append lock.
  void KnowSizeLeft(int64_t size);
  void ForgetSizeLeft() { size_left_ = -1; }

  // Positioned transfers for subclasses. WriteExact throws EDbfFileError ("Cannot write
  // file %s") unless all `count` bytes move; WriteSome returns the bytes moved, -1 on a
  // failure (errno set); ReadAvailable reports a short or failed read as false, leaving the
  // rest of the buffer. TruncateTo throws EDbfFileError ("Cannot write file %s").
  void WriteExact(int64_t offset, const void* buffer, size_t count);
  [[nodiscard]] int64_t WriteSome(int64_t offset, const void* buffer, size_t count);
  [[nodiscard]] bool ReadAvailable(int64_t offset, void* buffer, size_t count);
  void TruncateTo(int64_t length);
  // (file size - HeaderSize) / RecordSize in 64 bits; 0 when negative or RecordSize is 0.
  void DeriveRecordCount();
  // HeaderSize + (n - 1) * RecordSize, in 64 bits so that no position wraps around.
  int64_t RecordPosition(int32_t n) const;
  // Throws EDbfFileError when a record at `position` would end past 2 GiB, and for a
  // record length of 0.
  void CheckRecordFits(int64_t position) const;
  void SetRecordCount(int32_t count) { record_count_ = count; }
  // The header went out whole: none is due until the next write.
  void HeaderStored() { header_due_ = false; }
  // From now on the contents are not to be written, for the reason `why` (the end of the
  // message: "its header gives records of ..."), until a `why` of "" lifts it (a table
  // formatted anew). A reader of a header it can read but not write (a record layout its
  // fields do not fill, a format kept read-only) says so here, at open.
  void RefuseWrites(const std::string& why) { refusal_ = why; }

 private:
  // "Cannot create file %s: %s" for a new file, else "Cannot open file %s: %s".
  EDbfFileError Refusal(const std::string& reason, int system_error) const;

  std::string file_name_;
  TFileSeam seam_;
  std::unique_ptr<TFileIO> io_;
  std::vector<uint8_t> header_;
  int32_t header_size_ = 0;
  int32_t record_size_ = 0;
  int32_t record_count_ = 0;
  bool is_new_ = false;
  bool read_only_ = false;
  std::string refusal_;      // see RefuseWrites
  bool header_due_ = false;  // see HeaderDue
  bool sync_due_ = false;    // written since the last sync
  int64_t size_left_ = -1;   // see StillAsLeft; -1 when not known
  int append_lock_depth_ = 0;
  bool append_lock_taken_ = false;  // false while appending unlocked on a refusing file system

  bool TakeAppendLock(bool wait);
  void MarkWritten();
};

// Holds a file's append lock for a scope. Waiting (the default) it always holds it when
// constructed; otherwise Held() tells whether another program had it.
class TAppendLock {
 public:
  enum TWaiting { Wait, DontWait };
  explicit TAppendLock(TPagedFile& file, TWaiting waiting = Wait);
  ~TAppendLock();
  TAppendLock(const TAppendLock&) = delete;
  TAppendLock& operator=(const TAppendLock&) = delete;

  bool Held() const { return held_; }

 private:
  TPagedFile& file_;
  bool held_;
};

}  // namespace dbf
