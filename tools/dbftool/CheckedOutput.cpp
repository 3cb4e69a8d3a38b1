// Output through write(2), with the reason of the first failed write kept.
#include "CheckedOutput.h"

#include <cerrno>
#include <stdexcept>
#include <string>

#include "DbfFileIO.h"

namespace dbftool {

bool TCheckedOutput::WriteBuffered() {
  const char* next = pbase();
  while (error_ == 0 && next < pptr()) {
    const ssize_t written = ::write(descriptor_, next, static_cast<size_t>(pptr() - next));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : EIO;
    } else {
      next += written;
    }
  }
  setp(buffer_, buffer_ + sizeof buffer_);
  return error_ == 0;
}

TCheckedOutput::int_type TCheckedOutput::overflow(int_type c) {
  if (!WriteBuffered()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int TCheckedOutput::sync() { return WriteBuffered() ? 0 : -1; }

void TCheckedOutput::FlushOrThrow() {
  if (!WriteBuffered()) throw std::runtime_error("Cannot write " + name_ + ": " + dbf::FileErrorReason(error_));
}

}  // namespace dbftool
