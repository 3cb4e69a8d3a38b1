// The file an export writes: a new file next to OUT under a hidden temporary name, renamed
// to OUT only once it is written whole and on the device, so that OUT is either the old
// file or the whole new one, never a part. Without `replace` an existing OUT is refused
// before anything is written, and one that appears meanwhile is not replaced either.
#pragma once

#include <string>

namespace dbftool {

class TExportFile {
 public:
  // Makes the temporary file ".OUT.XXXXXX" in OUT's folder, with the permissions a new
  // file of this user gets. Throws EDbfFileError "Cannot create file %s: file exists
  // (--force replaces it)" for an existing OUT without `replace`, and "Cannot create
  // file %s" with the system's reason when the temporary file cannot be made.
  TExportFile(const std::string& out_path, bool replace);
  // Removes the temporary file unless Commit put it in place.
  ~TExportFile();
  TExportFile(const TExportFile&) = delete;
  TExportFile& operator=(const TExportFile&) = delete;

  const std::string& OutPath() const { return out_path_; }
  const std::string& TemporaryPath() const { return temporary_path_; }
  // Open for writing until Commit.
  int Descriptor() const { return descriptor_; }

  // Puts the written file on the device, renames it to OUT and puts the folder's new
  // entry on the device. Throws EDbfFileError "Cannot write file %s" with the system's
  // reason, or the file-exists error above when OUT appeared meanwhile.
  // REQUIRES: called once, after the last write.
  void Commit();

 private:
  void MoveIntoPlace();

  std::string out_path_;
  bool replace_;
  std::string temporary_path_;
  int descriptor_ = -1;
  bool committed_ = false;
};

}  // namespace dbftool
