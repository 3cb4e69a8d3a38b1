// The record window of a dataset: the buffered records that bound controls show (the
// window size is the most rows any control asks for) plus one spare buffer into which
// records are fetched before they take their place. It only moves buffers; fetching and
// the cursor belong to the dataset.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace dbf {

enum class TRecordFlag : uint8_t { FlagCurrent = 0, FlagBof = 1, FlagEof = 2, FlagInserted = 3 };

struct TRecordBuffer {
  int32_t record_number = -1;  // physical record number; -1 in a record not yet stored
  TRecordFlag flag = TRecordFlag::FlagCurrent;
  std::vector<uint8_t> record;  // the raw record, deletion flag first
};

class TRecordWindow {
 public:
  // Fresh buffers of `record_size` bytes for `size` rows and the spare; the window is empty.
  void Allocate(int size, int32_t record_size);
  void Release();
  // Changes the number of rows, keeping the active row's record in the window.
  // REQUIRES: Allocate was called; size >= 1.
  void Resize(int size);

  int Size() const { return size_; }
  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  bool Full() const { return count_ == size_; }
  int ActiveIndex() const { return active_; }
  // REQUIRES: 0 <= index < Count(), or 0 in an empty window.
  void SetActiveIndex(int index) { active_ = index; }
  bool ActiveIsLast() const { return active_ == count_ - 1; }

  // REQUIRES: 0 <= index < Count().
  TRecordBuffer& At(int index) { return *buffers_[index]; }
  const TRecordBuffer& At(int index) const { return *buffers_[index]; }
  // The active record; null in an empty window.
  TRecordBuffer* Active() { return Empty() ? nullptr : buffers_[active_].get(); }
  const TRecordBuffer* Active() const { return Empty() ? nullptr : buffers_[active_].get(); }
  TRecordBuffer& Spare() { return *buffers_[size_]; }

  // No valid buffer; the cursor stands on none of them.
  void Clear();

  // The spare's place after a fetch. Each returns whether a full window shifted (a
  // buffer left it). Into an empty window the spare becomes the only, active buffer.
  bool PlaceSpareLast();
  // In a window that was not full the active index follows its record down one row.
  bool PlaceSpareFirst();
  // The spare takes the active row; the records from there on move down one row.
  bool PlaceSpareAtActive();
  void PlaceSpareAlone();

  // The buffer whose record the table cursor stands on, tracked through every move.
  bool IsCursorBuffer(int index) const { return cursor_buffer_ == buffers_[index].get(); }
  void SetCursorBuffer(int index) { cursor_buffer_ = buffers_[index].get(); }
  void ForgetCursorBuffer() { cursor_buffer_ = nullptr; }

 private:
  // Moves the spare to `index` and shifts the buffers from there one row down, the
  // last valid one leaving a full window.
  bool PlaceSpareAt(int index);
  std::unique_ptr<TRecordBuffer> NewBuffer() const;
  void ForgetCursorBufferOutsideWindow();

  std::vector<std::unique_ptr<TRecordBuffer>> buffers_;  // rows first, the spare last
  int32_t record_size_ = 0;
  int size_ = 0;
  int count_ = 0;
  int active_ = 0;
  const TRecordBuffer* cursor_buffer_ = nullptr;
};

}  // namespace dbf
