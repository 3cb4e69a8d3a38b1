// The platform seam of the table files: a handful of positioned file operations, the
// sync that puts what was written on the device, and the append lock. The real
// implementation calls open/pread/pwrite/statx/ftruncate/fdatasync/fcntl; tests install a
// factory whose files fail the n-th write, write short or report a full disk, and the
// fuzz targets and the power-cut tests one whose files live in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace dbf {

// Where a handle's file stands against the name it was opened by.
enum class TFileStanding {
  AtItsPath,  // the file at the path is this handle's file
  Deleted,    // nothing is at the path any more
  Replaced,   // another file is at the path
  Failed      // the path could not be looked at (errno set)
};

struct TFileLook {
  TFileStanding standing;
  int64_t size;  // this file's size in bytes, when it stands at its path
};

enum class TLockResult {
  Locked,       // this handle holds the lock now
  Busy,         // another program holds it (only when not waiting)
  Unsupported,  // the file system refuses record locks
  Failed        // the platform failed otherwise (errno set)
};

class TFileIO {
 public:
  virtual ~TFileIO() = default;
  // Each returns the number of bytes transferred, or -1 on failure (errno set).
  [[nodiscard]] virtual int64_t ReadAt(int64_t offset, void* buffer, size_t count) = 0;
  [[nodiscard]] virtual int64_t WriteAt(int64_t offset, const void* buffer, size_t count) = 0;
  // File size in bytes, or -1 on failure.
  [[nodiscard]] virtual int64_t Size() = 0;
  // Returns false on failure.
  [[nodiscard]] virtual bool Truncate(int64_t length) = 0;
  // Returns once everything written through this handle is on the device, so that a
  // power cut keeps it; false on failure (errno set), when it may be lost. A file this
  // handle created is on the device under its name once its first sync succeeds.
  [[nodiscard]] virtual bool Sync() = 0;
  // Closes the handle; false when the system reports an error at the close (a write it
  // could not bring out), errno set. The handle takes no call afterwards; destroying a
  // handle not closed closes it unheard.
  [[nodiscard]] virtual bool Close() = 0;

  // Whether this handle's file is still the file at `path`, the name it was opened by,
  // and its size then. A file that no other program can reach stays where it is, so the
  // default says so.
  [[nodiscard]] virtual TFileLook LookAtPath(const std::string& /*path*/) { return {TFileStanding::AtItsPath, Size()}; }
  // The cheaper look at the handle alone: Deleted once the file has no name left
  // (deleted, or another file renamed over its only name), else AtItsPath (which it may
  // no longer be: only LookAtPath tells), with its size.
  [[nodiscard]] virtual TFileLook LookAtHandle() { return {TFileStanding::AtItsPath, Size()}; }

  // The advisory lock that serialises appends between programs: exclusive on a handle
  // open for writing, shared on a read-only one (a reader only waits out an append in
  // flight). With `wait` it blocks until the lock is free. A file that no other program
  // can reach needs no lock, so the default always grants it.
  [[nodiscard]] virtual TLockResult LockAppends(bool /*wait*/) { return TLockResult::Locked; }
  virtual void UnlockAppends() {}
};

enum class TFileOpenMode {
  ReadOnly,        // existing file, shared reading and writing
  ReadWrite,       // existing file, shared reading and writing
  CreateExclusive  // a new file; no other handle of this process may open it
};

// Opens `path`; returns nullptr (errno set) when the platform refuses. Only a regular
// file is a table: a folder fails with EISDIR, and anything else that is no regular file
// (a FIFO, a device, a socket) with ENXIO, without waiting for a writer on a FIFO.
using TFileIOFactory = std::function<std::unique_ptr<TFileIO>(const std::string& path, TFileOpenMode mode)>;

[[nodiscard]] std::unique_ptr<TFileIO> OpenFileIO(const std::string& path, TFileOpenMode mode);

// The POSIX implementation itself, for test factories that wrap the real file.
// CreateExclusive makes a new file and never opens an existing one: a name that exists,
// a symbolic link included (dangling or not), fails with EEXIST, so a file put in place
// after the caller looked is neither emptied nor followed. Keeping other handles out is
// the open-file registry's job, as POSIX has no portable way to bar other processes.
[[nodiscard]] std::unique_ptr<TFileIO> OpenPosixFileIO(const std::string& path, TFileOpenMode mode);

// Why an open or create failed, as the end of a message ("Cannot open file X: <reason>"):
// the platform's text for `error` in lower case ("permission denied", "read-only file
// system", "is a directory"), "is not a regular file" for ENXIO (see OpenFileIO).
std::string FileErrorReason(int error);

// Installs `factory` for every later open and returns the one it replaces; an empty
// factory restores the POSIX one.
TFileIOFactory SetFileIOFactory(TFileIOFactory factory);

}  // namespace dbf
