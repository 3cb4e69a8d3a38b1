// The POSIX implementation of the table files' platform seam, and the factory switch
// through which tests put their own files in its place.
#include "DbfFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace dbf {

namespace {

// The append lock is a POSIX record lock (fcntl) on one byte at the last position a table
// can reach, which works across programs and, where the file system supports locks,
// across machines on a network share. Being advisory, it guards nothing but appends:
// readers and record edits go on unhindered. The kernel drops it when its holder ends,
// killed or not, so a crashed program never leaves a table locked.
//
// A POSIX record lock belongs to the process and falls when the process closes any
// handle of the file. Within this library each file has one handle per process (the
// open-file registry shares it), so that cannot happen to a table behind our back.
//
// A file system that refuses record locks must not stop an examiner working alone: the
// seam reports Unsupported, and the paged file then appends unlocked (finding the end of
// the table from the file size all the same) and tells the user once that programs
// appending together are not kept apart there.
constexpr off_t kAppendLockOffset = 0x7FFFFFFF;

bool LockRefused(int error) {
  // ENOLCK: no lock manager (NFS without lockd, some network shares); EOPNOTSUPP,
  // ENOTSUP, EINVAL: a file system without record locks (some FUSE file systems).
  return error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP || error == EINVAL;
}

// What the table files need to know of a file's status.
struct TStatus {
  dev_t device;
  ino_t inode;
  nlink_t links;
  int64_t size;
};

// statx asks only for what it names. A look that leaves the timestamps unasked keeps the
// kernel from giving every later write a fine-grained time of its own, with an inode
// update each (multigrain timestamps): with fstat between them, the appends of an import
// cost half as much again. Where statx is missing, fstatat does the same look.
bool StatusOf(int folder, const char* path, int flags, TStatus& status) {
  struct statx extended {};
  if (::statx(folder, path, flags, STATX_INO | STATX_NLINK | STATX_SIZE, &extended) == 0) {
    status = {makedev(extended.stx_dev_major, extended.stx_dev_minor), extended.stx_ino, extended.stx_nlink,
              static_cast<int64_t>(extended.stx_size)};
    return true;
  }
  if (errno != ENOSYS) return false;
  struct stat plain {};
  if (::fstatat(folder, path, &plain, flags) != 0) return false;
  status = {plain.st_dev, plain.st_ino, plain.st_nlink, plain.st_size};
  return true;
}

// fsync of a folder makes the names in it durable; a file system that cannot sync a
// folder (EINVAL) keeps its names by other means.
bool SyncFolder(const std::string& folder) {
  int fd;
  do {
    fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  const int error = errno;
  ::close(fd);
  errno = error;
  return result == 0 || error == EINVAL;
}

class TPosixFileIO final : public TFileIO {
 public:
  // `status` is the file's status at its open: the device and inode that the file at its
  // path must still have. `created_in` is the folder of a file this handle created, whose
  // name its first sync makes durable too; empty for an existing file.
  TPosixFileIO(int fd, const struct stat& status, bool writable, std::string created_in)
      : fd_(fd),
        device_(status.st_dev),
        inode_(status.st_ino),
        writable_(writable),
        unsynced_folder_(std::move(created_in)) {}
  ~TPosixFileIO() override {
    if (fd_ >= 0) ::close(fd_);
  }
  TPosixFileIO(const TPosixFileIO&) = delete;
  TPosixFileIO& operator=(const TPosixFileIO&) = delete;

  int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    return Transfer(offset, count, [&](size_t done, int64_t at) {
      return ::pread(fd_, static_cast<char*>(buffer) + done, count - done, at);
    });
  }

  int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
    return Transfer(offset, count, [&](size_t done, int64_t at) {
      return ::pwrite(fd_, static_cast<const char*>(buffer) + done, count - done, at);
    });
  }

  int64_t Size() override {
    TStatus status;
    return StatusOf(fd_, "", AT_EMPTY_PATH, status) ? status.size : -1;
  }

  bool Truncate(int64_t length) override {
    int result;
    do {
      result = ::ftruncate(fd_, length);
    } while (result != 0 && errno == EINTR);
    return result == 0;
  }

  // One stat of the path tells both whether the file there is still this one (a file
  // that has a name at all has not been deleted) and its size.
  TFileLook LookAtPath(const std::string& path) override {
    TStatus status;
    if (!StatusOf(AT_FDCWD, path.c_str(), 0, status)) {
      return {errno == ENOENT ? TFileStanding::Deleted : TFileStanding::Failed, -1};
    }
    if (status.device != device_ || status.inode != inode_) return {TFileStanding::Replaced, -1};
    return {TFileStanding::AtItsPath, status.size};
  }

  TFileLook LookAtHandle() override {
    TStatus status;
    if (!StatusOf(fd_, "", AT_EMPTY_PATH, status)) return {TFileStanding::Failed, -1};
    return {status.links == 0 ? TFileStanding::Deleted : TFileStanding::AtItsPath, status.size};
  }

  // fdatasync brings the file's size with its bytes, all that a table needs to read back.
  bool Sync() override {
    int result;
    do {
      result = ::fdatasync(fd_);
    } while (result != 0 && errno == EINTR);
    if (result != 0) return false;
    if (unsynced_folder_.empty()) return true;
    if (!SyncFolder(unsynced_folder_)) return false;
    unsynced_folder_.clear();
    return true;
  }

  // Linux frees the descriptor even when close reports EINTR; the bytes went out with the
  // syncs before, so only a reported failure counts.
  bool Close() override {
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 || errno == EINTR;
  }

  TLockResult LockAppends(bool wait) override {
    struct flock lock = AppendLockRange(writable_ ? F_WRLCK : F_RDLCK);
    int result;
    do {
      result = ::fcntl(fd_, wait ? F_SETLKW : F_SETLK, &lock);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return TLockResult::Locked;
    if (errno == EAGAIN || errno == EACCES) return TLockResult::Busy;
    return LockRefused(errno) ? TLockResult::Unsupported : TLockResult::Failed;
  }

  // Unlocking a range one holds cannot fail but for a signal; should it ever fail, the
  // lock still falls when the handle closes.
  void UnlockAppends() override {
    struct flock lock = AppendLockRange(F_UNLCK);
    while (::fcntl(fd_, F_SETLK, &lock) != 0 && errno == EINTR) {
    }
  }

 private:
  static struct flock AppendLockRange(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = kAppendLockOffset;
    lock.l_len = 1;
    return lock;
  }

  // pread and pwrite may move fewer bytes than asked (signals, pipes, a full disk); keep
  // going until all are moved, the file ends, or the platform fails. A failure after some
  // bytes reports the bytes moved, so the caller sees a short transfer.
  template <typename Step>
  static int64_t Transfer(int64_t offset, size_t count, Step step) {
    size_t done = 0;
    while (done < count) {
      const ssize_t moved = step(done, offset + static_cast<int64_t>(done));
      if (moved < 0 && errno == EINTR) continue;
      if (moved < 0) return done > 0 ? static_cast<int64_t>(done) : -1;
      if (moved == 0) break;
      done += static_cast<size_t>(moved);
    }
    return static_cast<int64_t>(done);
  }

  int fd_;
  dev_t device_;
  ino_t inode_;
  bool writable_;
  std::string unsynced_folder_;
};

// Existing files open without blocking: a FIFO would otherwise wait in open() for a
// writer. The flag is taken off again once the file proves to be a regular file.
int OpenFlags(TFileOpenMode mode) {
  switch (mode) {
    case TFileOpenMode::ReadOnly:
      return O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    case TFileOpenMode::ReadWrite:
      return O_RDWR | O_NONBLOCK | O_CLOEXEC;
    case TFileOpenMode::CreateExclusive:
      return O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  }
  return O_RDONLY | O_NONBLOCK | O_CLOEXEC;
}

// 0 for a regular file; else the errno that refuses it. `status` takes the file's status.
int RefusalOfFileType(int fd, struct stat& status) {
  if (::fstat(fd, &status) != 0) return errno;
  if (S_ISDIR(status.st_mode)) return EISDIR;
  return S_ISREG(status.st_mode) ? 0 : ENXIO;
}

bool ClearNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

TFileIOFactory& InstalledFactory() {
  static TFileIOFactory factory;
  return factory;
}

}  // namespace

std::unique_ptr<TFileIO> OpenPosixFileIO(const std::string& path, TFileOpenMode mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), OpenFlags(mode), 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  // A folder opens read-only without complaint but is no table; nor is a FIFO or a
  // device, whose reads would block or never end.
  struct stat status {};
  int refusal = RefusalOfFileType(fd, status);
  if (refusal == 0 && !ClearNonBlocking(fd)) refusal = errno;
  if (refusal != 0) {
    ::close(fd);
    errno = refusal;
    return nullptr;
  }
  const bool created = mode == TFileOpenMode::CreateExclusive;
  return std::make_unique<TPosixFileIO>(fd, status, mode != TFileOpenMode::ReadOnly, created ? FolderOf(path) : "");
}

std::string FileErrorReason(int error) {
  if (error == ENXIO) return "is not a regular file";
  std::string reason = std::strerror(error);
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
  return reason;
}

std::unique_ptr<TFileIO> OpenFileIO(const std::string& path, TFileOpenMode mode) {
  const TFileIOFactory& factory = InstalledFactory();
  return factory ? factory(path, mode) : OpenPosixFileIO(path, mode);
}

TFileIOFactory SetFileIOFactory(TFileIOFactory factory) {
  return std::exchange(InstalledFactory(), std::move(factory));
}

}  // namespace dbf
