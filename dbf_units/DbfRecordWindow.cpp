// Buffer moves of the record window. Buffers are moved as owned objects, so the buffer
// the table cursor stands on keeps its identity while rows shift around it.
#include "DbfRecordWindow.h"

#include <algorithm>

namespace dbf {

std::unique_ptr<TRecordBuffer> TRecordWindow::NewBuffer() const {
  auto buffer = std::make_unique<TRecordBuffer>();
  // A record always has its deletion flag, even in a damaged table whose record length
  // is 0 (such a table refuses to store records).
  buffer->record.assign(static_cast<size_t>(std::max(record_size_, 1)), 0);
  return buffer;
}

void TRecordWindow::Allocate(int size, int32_t record_size) {
  record_size_ = std::max(record_size, 0);
  size_ = size;
  buffers_.clear();
  for (int i = 0; i <= size; ++i) buffers_.push_back(NewBuffer());
  Clear();
}

void TRecordWindow::Release() {
  buffers_.clear();
  size_ = 0;
  Clear();
}

void TRecordWindow::Resize(int size) {
  if (size == size_) return;
  std::unique_ptr<TRecordBuffer> spare = std::move(buffers_.back());
  buffers_.pop_back();
  if (size < size_) {
    const int dropped = std::max(0, active_ - size + 1);
    std::rotate(buffers_.begin(), buffers_.begin() + dropped, buffers_.end());
    count_ = std::min(count_ - dropped, size);
    active_ -= dropped;
    buffers_.resize(static_cast<size_t>(size));
  }
  while (static_cast<int>(buffers_.size()) < size) buffers_.push_back(NewBuffer());
  buffers_.push_back(std::move(spare));
  size_ = size;
  ForgetCursorBufferOutsideWindow();
}

void TRecordWindow::Clear() {
  count_ = 0;
  active_ = 0;
  cursor_buffer_ = nullptr;
}

bool TRecordWindow::PlaceSpareLast() {
  if (Empty()) {
    PlaceSpareAlone();
    return false;
  }
  if (!Full()) {
    std::swap(buffers_[count_], buffers_[size_]);
    ++count_;
    return false;
  }
  std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
  ForgetCursorBufferOutsideWindow();
  return true;
}

bool TRecordWindow::PlaceSpareFirst() {
  if (Empty()) {
    PlaceSpareAlone();
    return false;
  }
  const bool shifted = PlaceSpareAt(0);
  if (!shifted) ++active_;
  return shifted;
}

bool TRecordWindow::PlaceSpareAtActive() { return PlaceSpareAt(active_); }

void TRecordWindow::PlaceSpareAlone() {
  Clear();
  std::swap(buffers_[0], buffers_[size_]);
  count_ = 1;
}

bool TRecordWindow::PlaceSpareAt(int index) {
  if (!Full()) {
    std::swap(buffers_[count_], buffers_[size_]);
    std::rotate(buffers_.begin() + index, buffers_.begin() + count_, buffers_.begin() + count_ + 1);
    ++count_;
    return false;
  }
  std::rotate(buffers_.begin() + index, buffers_.begin() + size_, buffers_.end());
  ForgetCursorBufferOutsideWindow();
  return true;
}

void TRecordWindow::ForgetCursorBufferOutsideWindow() {
  for (int i = 0; i < count_; ++i) {
    if (IsCursorBuffer(i)) return;
  }
  cursor_buffer_ = nullptr;
}

}  // namespace dbf
