// The one temporary-folder helper of the tests, the fuzz targets and the benchmarks.
#include "TempFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace dbf::testsupport {

TTempFolder::TTempFolder() : TTempFolder(TEST_TEMP_PARENT, "file_layer_") {}

TTempFolder::TTempFolder(const std::string& parent, const std::string& prefix) {
  std::string pattern = parent + "/" + prefix + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "cannot make the folder " + pattern);
  }
  folder_ = pattern;
}

TTempFolder::~TTempFolder() {
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
}

std::string SystemTempFolder() { return std::filesystem::temp_directory_path().string(); }

}  // namespace dbf::testsupport
