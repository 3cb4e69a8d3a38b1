// The seam of a table file: its own file factory and notice handler, or the process-wide ones.
#include "DbfOpenOptions.h"

namespace dbf {

std::unique_ptr<TFileIO> TFileSeam::Open(const std::string& path, TFileOpenMode mode) const {
  return open_file ? open_file(path, mode) : OpenFileIO(path, mode);
}

void TFileSeam::Notice(const std::string& text) const {
  if (notice) {
    notice(text);
  } else {
    DbfNotice(text);
  }
}

}  // namespace dbf
