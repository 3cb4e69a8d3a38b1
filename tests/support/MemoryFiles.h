// Table files held in memory behind the platform seam, for the fuzz targets and the
// benchmarks: an input becomes a table without touching the disk, and every write lands
// in a byte vector the target can inspect; a benchmark reads a table without system
// calls. The library still looks for the file by name on disk, so each memory file has
// an empty stand-in of its name in a private folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DbfFileIO.h"
#include "TempFolder.h"

namespace dbf::fuzz {

using TBytes = std::vector<uint8_t>;

class TMemoryFiles {
 public:
  // Files grow to at most `largest_file` bytes; a write past it fails as on a full disk.
  explicit TMemoryFiles(int64_t largest_file);
  // Restores the seam it replaced and removes the stand-in folder.
  ~TMemoryFiles();
  TMemoryFiles(const TMemoryFiles&) = delete;
  TMemoryFiles& operator=(const TMemoryFiles&) = delete;

  // The path of memory file `name` (its stand-in exists on disk), holding `bytes`.
  std::string Put(const std::string& name, const uint8_t* bytes, size_t size);
  // The bytes of the file at `path`, as the library left them; a target may change them
  // as another program would.
  TBytes& Contents(const std::string& path);

 private:
  std::unique_ptr<TFileIO> Open(const std::string& path, TFileOpenMode mode);

  int64_t largest_file_;
  testsupport::TTempFolder folder_;
  std::map<std::string, std::shared_ptr<TBytes>> files_;
  TFileIOFactory previous_;
};

}  // namespace dbf::fuzz
