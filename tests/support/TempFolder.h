// A private folder for a test or a benchmark, removed with everything in it afterwards:
// the one temporary-folder helper of the tests, the fuzz targets and the benchmarks.
#pragma once

#include <string>

namespace dbf::testsupport {

class TTempFolder {
 public:
  // A folder of the test build tree (file_layer_ and six random characters), so that a test
  // run leaves nothing outside the build folder; tests run in parallel processes, so each
  // gets its own.
  TTempFolder();
  // A folder named `prefix` and six random characters under `parent`.
  // REQUIRES: `parent` is an existing folder. Throws std::system_error when the folder
  // cannot be made.
  TTempFolder(const std::string& parent, const std::string& prefix);
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  std::string operator/(const std::string& name) const { return folder_ + "/" + name; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

// The system's temporary folder ($TMPDIR, else /tmp): where the benchmarks' large tables
// and the memory files' stand-ins go.
std::string SystemTempFolder();

}  // namespace dbf::testsupport
