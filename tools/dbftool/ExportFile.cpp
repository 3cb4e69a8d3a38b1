// The temporary file of an export and its move into place.
#include "ExportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "DbfErrors.h"
#include "DbfFileIO.h"

namespace dbftool {

namespace {

const char kExistsDetail[] = "file exists (--force replaces it)";

[[noreturn]] void ThrowFileError(dbf::TFileAction action, const std::string& path, int error) {
  if (error == EEXIST) throw dbf::FileError(action, path, 0, kExistsDetail);
  throw dbf::FileError(action, path, error, dbf::FileErrorReason(error));
}

bool Exists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

// The permissions open(2) gives a new file: 0666 without the process's umask.
mode_t NewFilePermissions() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Puts the entries of `folder` on the device. File systems that cannot sync a folder say
// EINVAL; the rename itself then is all there is.
void SyncFolder(const std::string& folder, const std::string& out_path) {
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) ThrowFileError(dbf::TFileAction::Write, out_path, errno);
  const int error = fsync(descriptor) == 0 ? 0 : errno;
  close(descriptor);
  if (error != 0 && error != EINVAL) ThrowFileError(dbf::TFileAction::Write, out_path, error);
}

}  // namespace

TExportFile::TExportFile(const std::string& out_path, bool replace) : out_path_(out_path), replace_(replace) {
  if (!replace && Exists(out_path)) ThrowFileError(dbf::TFileAction::Create, out_path, EEXIST);
  const std::filesystem::path out(out_path);
  const std::string pattern = (out.parent_path() / ("." + out.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  descriptor_ = mkostemp(name.data(), O_CLOEXEC);
  if (descriptor_ < 0) ThrowFileError(dbf::TFileAction::Create, out_path, errno);
  temporary_path_ = name.data();
  if (fchmod(descriptor_, NewFilePermissions()) != 0) ThrowFileError(dbf::TFileAction::Create, out_path, errno);
}

TExportFile::~TExportFile() {
  if (descriptor_ >= 0) close(descriptor_);
  if (!committed_) unlink(temporary_path_.c_str());
}

void TExportFile::Commit() {
  if (fsync(descriptor_) != 0) ThrowFileError(dbf::TFileAction::Write, out_path_, errno);
  const int closed = close(descriptor_);
  descriptor_ = -1;
  if (closed != 0) ThrowFileError(dbf::TFileAction::Write, out_path_, errno);
  MoveIntoPlace();
  committed_ = true;
  SyncFolder(std::filesystem::path(out_path_).parent_path().string(), out_path_);
}

// Without `replace_` the rename must not replace a file that appeared since the check:
// renameat2 refuses to, and where a file system does not know it, a hard link does the same.
void TExportFile::MoveIntoPlace() {
  const char* from = temporary_path_.c_str();
  const char* to = out_path_.c_str();
  if (replace_) {
    if (std::rename(from, to) != 0) ThrowFileError(dbf::TFileAction::Write, out_path_, errno);
    return;
  }
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL && errno != ENOSYS) ThrowFileError(dbf::TFileAction::Create, out_path_, errno);
  if (link(from, to) != 0) ThrowFileError(dbf::TFileAction::Create, out_path_, errno);
  unlink(from);
}

}  // namespace dbftool
