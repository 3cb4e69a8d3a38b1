// How a table file is opened: what to do when the file is missing or already there,
// whether it is only read, and the seam it is opened through (how its platform file is
// opened and where its notices go). A test or a tool hands a table its own seam here
// instead of installing a process-wide one; an empty seam stands for the process-wide
// defaults (SetFileIOFactory, SetDbfNoticeHandler), which the program keeps.
#pragma once

#include <memory>
#include <string>

#include "DbfErrors.h"
#include "DbfFileIO.h"

namespace dbf {

// What an open does with a missing file and with one that is already there.
enum class TCreation {
  OpenExisting,     // the file must exist; its header is read
  CreateIfMissing,  // an existing file is opened as it is, a missing one is made
  Replace,          // a missing file is made, an existing one is taken to be formatted anew
  CreateNew         // the file is made; an existing one is refused ("file exists")
};

// Whether an open with `creation` makes a missing file.
inline bool MakesMissingFile(TCreation creation) { return creation != TCreation::OpenExisting; }
// Whether an open with `creation` formats the file it opens whatever it held, so that the
// header of an existing file is not read.
inline bool FormatsAnyFile(TCreation creation) {
  return creation == TCreation::Replace || creation == TCreation::CreateNew;
}

// The seam a table file is opened through. Each empty member stands for the process-wide
// one. A table file that several datasets share keeps the seam of its first opener.
struct TFileSeam {
  TFileIOFactory open_file = {};  // opens the platform files
  TDbfNoticeHandler notice = {};  // hears the header findings and other notices of the file

  // Opens `path` through open_file, else through the process-wide factory (OpenFileIO).
  std::unique_ptr<TFileIO> Open(const std::string& path, TFileOpenMode mode) const;
  // Passes `text` to notice, else to the process-wide handler (DbfNotice).
  void Notice(const std::string& text) const;
};

struct TOpenOptions {
  TCreation creation = TCreation::OpenExisting;
  bool read_only = false;
  TFileSeam seam = {};
};

}  // namespace dbf
