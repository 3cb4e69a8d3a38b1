// Standard output that remembers why it could not be written. Every command prints
// through std::cout; output that does not reach its file (a full disk, a closed pipe)
// must make the command fail, or a script takes a cut-off listing for the whole table.
#pragma once

#include <streambuf>

namespace dbftool {

// A buffer for std::cout that writes to file descriptor 1 with write(2). After the first
// failed write it takes no more output, so the stream goes bad and the reason is kept.
class TCheckedOutput final : public std::streambuf {
 public:
  TCheckedOutput() { setp(buffer_, buffer_ + sizeof buffer_); }
  TCheckedOutput(const TCheckedOutput&) = delete;
  TCheckedOutput& operator=(const TCheckedOutput&) = delete;

  // Writes what is buffered. Throws std::runtime_error "Cannot write standard output: %s"
  // with the platform's reason when this or any earlier write failed.
  void FlushOrThrow();

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool WriteBuffered();

  char buffer_[64 * 1024];
  int error_ = 0;  // errno of the first failed write
};

}  // namespace dbftool
