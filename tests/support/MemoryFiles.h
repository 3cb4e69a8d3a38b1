// Table files held in memory behind the platform seam, for the fuzz targets, the
// power-cut tests and the benchmarks: an input becomes a table without touching the
// disk, and every write lands in a byte vector the target can inspect; a benchmark reads
// a table without system calls. The library still looks for the file by name on disk, so
// each memory file has an empty stand-in of its name in a private folder.
//
// Each file also keeps what it held at its last sync, as a disk keeps what reached it: a
// simulated power cut throws away everything written after that (the way LevelDB's
// fault-injection environment does), so a test can check what a returned call promised.
//
// The files are reached through their seam (Seam), which a table or a dataset is given
// in its open options: nothing is installed process-wide, so tables opened otherwise
// still reach the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DbfFileIO.h"
#include "DbfOpenOptions.h"
#include "TempFolder.h"

namespace dbf::fuzz {

using TBytes = std::vector<uint8_t>;

class TMemoryFiles {
 public:
  // Files grow to at most `largest_file` bytes; a write past it fails as on a full disk.
  explicit TMemoryFiles(int64_t largest_file);
  // Removes the stand-in folder. Tables opened through Seam() must be closed first.
  ~TMemoryFiles();
  TMemoryFiles(const TMemoryFiles&) = delete;
  TMemoryFiles& operator=(const TMemoryFiles&) = delete;

  // The seam whose files live here, for TOpenOptions::seam or TDbf::SetFileSeam; its
  // notices go to `notice` (empty: the process-wide handler).
  TFileSeam Seam(TDbfNoticeHandler notice = {});

  // The path of memory file `name` (its stand-in exists on disk), holding `bytes`.
  std::string Put(const std::string& name, const uint8_t* bytes, size_t size);
  // The bytes of the file at `path`, as the library left them; a target may change them
  // as another program would.
  TBytes& Contents(const std::string& path);
  // The bytes the file at `path` held at its last sync (what a power cut leaves of it);
  // a target that writes as another program (which syncs its own writes) changes both.
  TBytes& SyncedContents(const std::string& path);

  // A simulated power cut: every file falls back to what it held at its last sync, a file
  // created and never synced since loses its name, and every handle opened before the cut
  // fails each later call (EIO), as the program that held it is gone.
  void CutPower();

  struct TFile {
    TBytes bytes;
    TBytes synced;
    bool named_on_device = true;  // false from a create until the first sync
    int power_cuts = 0;           // a handle opened before the last cut is dead
  };

 private:
  std::unique_ptr<TFileIO> Open(const std::string& path, TFileOpenMode mode);
  TFile& FileAt(const std::string& path);

  int64_t largest_file_;
  testsupport::TTempFolder folder_;
  std::map<std::string, std::shared_ptr<TFile>> files_;
};

}  // namespace dbf::fuzz
