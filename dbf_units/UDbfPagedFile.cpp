// The paged file: opening and creating the platform file, the header buffer, whole-record
// transfers at 64-bit positions, and the process-wide registry of open file objects.
#include "UDbfPagedFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <set>
#include <system_error>

#include "DbfErrors.h"
#include "DbfPaths.h"

namespace dbf {

namespace fs = std::filesystem;

namespace {

// Other dBase programs address a table with signed 32-bit positions; a record that ends
// past this would be out of their reach and, in 32-bit arithmetic, wrap onto the header.
constexpr int64_t kLargestTableSize = int64_t{1} << 31;

// One open file object. The user-interface thread is the only caller, so the registry
// takes no lock.
struct TRegistryEntry {
  std::string key;
  TPagedFile* file;
  bool exclusive;  // created by this object: no other object may open the file meanwhile
};

std::vector<TRegistryEntry>& Registry() {
  static std::vector<TRegistryEntry> registry;
  return registry;
}

// Two names reach the same entry when they name the same file: the registry compares the
// canonical path (symbolic links and '.'/'..' resolved), letter case kept as on disk.
std::string RegistryKey(const std::string& file_name) {
  const std::string name = MatchExistingCase(file_name);
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(name, error);
  return error ? fs::path(name).lexically_normal().string() : canonical.string();
}

const TRegistryEntry* FindEntry(const std::string& key) {
  const auto& registry = Registry();
  const auto found =
      std::find_if(registry.begin(), registry.end(), [&](const TRegistryEntry& entry) { return entry.key == key; });
  return found == registry.end() ? nullptr : &*found;
}

bool FileExists(const std::string& file_name) {
  std::error_code error;
  return fs::exists(file_name, error);
}

TFileOpenMode ModeForExistingFile(bool read_only) {
  return read_only ? TFileOpenMode::ReadOnly : TFileOpenMode::ReadWrite;
}

// A table on a file system without record locks is appended to unlocked; the user hears
// of it once per process, not at every open.
void ReportUnlockedAppends(const TPagedFile& file) {
  static std::set<std::string> reported;
  const std::string& file_name = file.FileName();
  if (!reported.insert(file_name).second) return;
  file.Notice("Appends to " + file_name +
              " are not locked: the file system refuses record locks, so two programs "
              "appending to it at the same time may overwrite each other's records");
}

}  // namespace

TPagedFile::TPagedFile(const std::string& file_name, const TOpenOptions& options)
    : file_name_(MatchExistingCase(file_name)), seam_(options.seam), read_only_(options.read_only) {
  const bool exists = FileExists(file_name_);
  if (!exists && !MakesMissingFile(options.creation)) {
    throw EDbfFileError("Open: Table file not found : " + file_name);
  }
  const bool only_new = options.creation == TCreation::CreateNew;
  is_new_ = !exists || only_new;
  if (exists && only_new) throw Refusal(FileErrorReason(EEXIST), EEXIST);
  // POSIX cannot keep other processes out of a file we create; within this process the
  // registry does: a created file stays closed to every other object until it is released.
  const TRegistryEntry* holder = FindEntry(RegistryKey(file_name_));
  if (holder && (holder->exclusive || is_new_)) throw Refusal("in use by another table of this program", 0);
  io_ = seam_.Open(file_name_, is_new_ ? TFileOpenMode::CreateExclusive : ModeForExistingFile(read_only_));
  // Creating finds the name itself missing: ENOENT means a folder on the way is.
  if (!io_) throw Refusal(is_new_ && errno == ENOENT ? "no such folder" : FileErrorReason(errno), errno);
  Registry().push_back({RegistryKey(file_name_), this, is_new_});
}

EDbfFileError TPagedFile::Refusal(const std::string& reason, int system_error) const {
  return FileError(is_new_ ? TFileAction::Create : TFileAction::Open, file_name_, system_error, reason);
}

TPagedFile::~TPagedFile() {
  auto& registry = Registry();
  registry.erase(std::remove_if(registry.begin(), registry.end(),
                                [this](const TRegistryEntry& entry) { return entry.file == this; }),
                 registry.end());
}

std::string TPagedFile::WriteRefusal() const {
  if (read_only_) return FileErrorMessage(TFileAction::Write, file_name_, "it is open read-only");
  return refusal_.empty() ? std::string() : FileErrorMessage(TFileAction::Write, file_name_, refusal_);
}

void TPagedFile::CheckWritable() const {
  if (!Writable()) throw EDbfFileError(WriteRefusal());
}

void TPagedFile::SetHeaderSize(int32_t size) {
  size = std::max(size, 0);
  if (size == header_size_) return;
  header_size_ = size;
  header_.assign(static_cast<size_t>(size), 0);
  DeriveRecordCount();
  // A file shorter than the header leaves the rest of the buffer zero; a read the platform
  // fails is its error, not a damaged header.
  if (size > 0 && io_->ReadAt(0, header_.data(), header_.size()) < 0) {
    throw FileError(TFileAction::Read, file_name_, errno);
  }
}

void TPagedFile::SetRecordSize(int32_t size) {
  record_size_ = std::max(size, 0);
  DeriveRecordCount();
}

void TPagedFile::ResizeToRecords(int32_t count) {
  TruncateTo(header_size_ + int64_t{std::max(count, 0)} * record_size_);
  DeriveRecordCount();
}

bool TPagedFile::LoadRecord(int32_t n, uint8_t* buffer) {
  if (n < 1) return false;
  return ReadAvailable(RecordPosition(n), buffer, static_cast<size_t>(record_size_));
}

void TPagedFile::StoreRecord(int32_t n, const uint8_t* buffer) {
  if (n < 1) {
    throw FileError(TFileAction::Write, file_name_, 0, "invalid record number " + std::to_string(n));
  }
  const int64_t position = RecordPosition(n);
  CheckRecordFits(position);
  WriteExact(position, buffer, static_cast<size_t>(record_size_));
  record_count_ = std::max(record_count_, n);
}

void TPagedFile::StoreHeader() { WriteExact(0, header_.data(), header_.size()); }

void TPagedFile::Sync() {
  if (!sync_due_) return;
  if (!io_->Sync()) throw FileError(TFileAction::Write, file_name_, errno);
  sync_due_ = false;
}

void TPagedFile::CloseFile() {
  if (!io_->Close()) throw FileError(TFileAction::Close, file_name_, errno);
}

void TPagedFile::LockAppends() {
  const bool outermost = !HoldsAppendLock();
  TakeAppendLock(true);
  if (!outermost) return;
  try {
    DeriveRecordCount();
  } catch (...) {
    UnlockAppends();
    throw;
  }
}

bool TPagedFile::TryLockAppends() { return TakeAppendLock(false); }

bool TPagedFile::TakeAppendLock(bool wait) {
  if (append_lock_depth_ == 0) {
    switch (io_->LockAppends(wait)) {
      case TLockResult::Locked:
        append_lock_taken_ = true;
        break;
      case TLockResult::Busy:
        return false;
      case TLockResult::Unsupported:
        append_lock_taken_ = false;
        // Only an append needs to hear it: a reader's look at the count is the same.
        if (wait) ReportUnlockedAppends(*this);
        break;
      case TLockResult::Failed:
        throw FileError(TFileAction::Lock, file_name_, errno);
    }
  }
  ++append_lock_depth_;
  return true;
}

void TPagedFile::UnlockAppends() {
  if (append_lock_depth_ == 0 || --append_lock_depth_ > 0) return;
  ForgetSizeLeft();  // other programs may write as soon as the lock is free
  if (append_lock_taken_) io_->UnlockAppends();
  append_lock_taken_ = false;
}

TAppendLock::TAppendLock(TPagedFile& file, TWaiting waiting) : file_(file), held_(true) {
  if (waiting == Wait) {
    file_.LockAppends();
  } else {
    held_ = file_.TryLockAppends();
  }
}

TAppendLock::~TAppendLock() {
  if (held_) file_.UnlockAppends();
}

TPagedFile* TPagedFile::FindOpenFile(const std::string& file_name) {
  const TRegistryEntry* entry = FindEntry(RegistryKey(file_name));
  return entry ? entry->file : nullptr;
}

int64_t TPagedFile::CheckStillAtPath() {
  const TFileLook look = io_->LookAtPath(file_name_);
  switch (look.standing) {
    case TFileStanding::AtItsPath:
      return look.size;
    case TFileStanding::Deleted:
      throw ChangedUnderneath("deleted");
    case TFileStanding::Replaced:
      throw ChangedUnderneath("replaced");
    case TFileStanding::Failed:
      break;
  }
  throw FileError(TFileAction::Write, file_name_, errno);
}

bool TPagedFile::StillAsLeft(int64_t reach) {
  if (size_left_ < 0 || !HoldsAppendLock()) return false;
  const TFileLook look = io_->LookAtHandle();
  return look.standing == TFileStanding::AtItsPath && look.size == size_left_ && look.size >= reach;
}

void TPagedFile::KnowSizeLeft(int64_t size) { size_left_ = HoldsAppendLock() ? size : -1; }

EDbfFileError TPagedFile::ChangedUnderneath(const std::string& change) const {
  return FileError(TFileAction::Write, file_name_, 0, "it was " + change + " by another program since it was opened");
}

void TPagedFile::WriteExact(int64_t offset, const void* buffer, size_t count) {
  if (count == 0) return;
  errno = 0;  // a write that ends short without failing leaves no reason
  if (WriteSome(offset, buffer, count) != static_cast<int64_t>(count)) {
    throw FileError(TFileAction::Write, file_name_, errno);
  }
}

// A write that fails may still have moved some bytes: it counts as a write all the same.
int64_t TPagedFile::WriteSome(int64_t offset, const void* buffer, size_t count) {
  MarkWritten();
  const int64_t moved = io_->WriteAt(offset, buffer, count);
  if (size_left_ >= 0 && moved > 0) size_left_ = std::max(size_left_, offset + moved);
  return moved;
}

void TPagedFile::TruncateTo(int64_t length) {
  MarkWritten();
  ForgetSizeLeft();
  if (!io_->Truncate(length)) throw FileError(TFileAction::Write, file_name_, errno);
}

void TPagedFile::MarkWritten() {
  header_due_ = true;
  sync_due_ = true;
}

bool TPagedFile::ReadAvailable(int64_t offset, void* buffer, size_t count) {
  if (count == 0) return true;
  return io_->ReadAt(offset, buffer, count) == static_cast<int64_t>(count);
}

int64_t TPagedFile::FileSize() {
  const int64_t size = io_->Size();
  if (size < 0) throw FileError(TFileAction::Read, file_name_, errno);
  return size;
}

void TPagedFile::DeriveRecordCount() {
  if (record_size_ <= 0) {
    record_count_ = 0;
    return;
  }
  const int64_t count = (FileSize() - header_size_) / record_size_;
  record_count_ = static_cast<int32_t>(std::clamp<int64_t>(count, 0, std::numeric_limits<int32_t>::max()));
}

int64_t TPagedFile::RecordPosition(int32_t n) const { return header_size_ + (int64_t{n} - 1) * record_size_; }

void TPagedFile::CheckRecordFits(int64_t position) const {
  // A record of no bytes is no record: the file size could never count it.
  if (record_size_ < 1) throw FileError(TFileAction::Write, file_name_, 0, "the record length is 0");
  if (position + record_size_ > kLargestTableSize) {
    throw FileError(TFileAction::Write, file_name_, 0, "a table cannot grow past 2 GiB");
  }
}

}  // namespace dbf
