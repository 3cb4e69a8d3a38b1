// Output that remembers why it could not be written. Every command prints through
// std::cout, and the CSV and JSON exports write their file through one; output that does
// not reach its file (a full disk, a closed pipe) must make the command fail, or a script
// takes a cut-off listing for the whole table.
#pragma once

#include <unistd.h>

#include <streambuf>
#include <string>
#include <utility>

namespace dbftool {

// A stream buffer that writes to a file descriptor with write(2), standard output unless
// told otherwise. After the first failed write it takes no more output, so the stream
// goes bad and the reason is kept.
class TCheckedOutput final : public std::streambuf {
 public:
  // `name` says what the descriptor is in the message of a failure ("file X").
  explicit TCheckedOutput(int descriptor = STDOUT_FILENO, std::string name = "standard output")
      : descriptor_(descriptor), name_(std::move(name)) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  TCheckedOutput(const TCheckedOutput&) = delete;
  TCheckedOutput& operator=(const TCheckedOutput&) = delete;

  // Writes what is buffered. Throws std::runtime_error "Cannot write %s: %s" with the name
  // and the platform's reason when this or any earlier write failed.
  void FlushOrThrow();

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool WriteBuffered();

  int descriptor_;
  std::string name_;
  char buffer_[64 * 1024];
  int error_ = 0;  // errno of the first failed write
};

}  // namespace dbftool
