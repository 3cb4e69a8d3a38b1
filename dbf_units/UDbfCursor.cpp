// The physical-order cursor over a table file and the file reference every cursor holds.
#include "UDbfCursor.h"

#include <utility>

#include "UDbfFile.h"

namespace dbf {

TVirtualCursor::TVirtualCursor(std::shared_ptr<TDbfFile> file) : file_(std::move(file)) {}

int32_t TDbfCursor::RecordCount() const { return File().RecordCount(); }

bool TDbfCursor::MoveNext() {
  const int32_t count = RecordCount();
  position_ = position_ > count ? count + 1 : position_ + 1;
  return position_ <= count;
}

bool TDbfCursor::MovePrior() {
  position_ = position_ > 0 ? position_ - 1 : 0;
  return position_ > 0;
}

void TDbfCursor::MoveLast() {
  const int32_t count = RecordCount();
  position_ = count > 0 ? count + 1 : 0;
}

void TDbfCursor::InsertKey(int32_t, const uint8_t*) { position_ = RecordCount(); }

}  // namespace dbf
