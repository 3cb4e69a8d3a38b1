// Cursors: a position in a table file through which a dataset navigates. A cursor holds
// a reference to its open table file, so that holding a cursor keeps the file open.
// TDbfCursor walks the records in physical order, deleted ones included.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace dbf {

class TDbfFile;

class TVirtualCursor {
 public:
  // Holds a reference to `file` while it lives (the last reference closes it).
  explicit TVirtualCursor(std::shared_ptr<TDbfFile> file);
  virtual ~TVirtualCursor() = default;
  TVirtualCursor(const TVirtualCursor&) = delete;
  TVirtualCursor& operator=(const TVirtualCursor&) = delete;

  TDbfFile& File() const { return *file_; }
  // The reference this cursor holds.
  const std::shared_ptr<TDbfFile>& FileHandle() const { return file_; }

  // Each move returns whether the cursor then stands on a record.
  virtual bool MoveNext() = 0;
  virtual bool MovePrior() = 0;
  virtual void MoveFirst() = 0;
  virtual void MoveLast() = 0;
  virtual int32_t PhysicalRecordNumber() const = 0;
  virtual int32_t RecordCount() const = 0;
  virtual int32_t SequentialRecordNumber() const = 0;
  virtual void SetSequentialRecordNumber(int32_t number) = 0;
  virtual int32_t Bookmark() const = 0;
  virtual void GotoBookmark(int32_t bookmark) = 0;
  // A record was appended as `record_number` / rewritten: index cursors update their keys.
  virtual void InsertKey(int32_t record_number, const uint8_t* record) = 0;
  virtual void UpdateKey(int32_t record_number, const uint8_t* old_record, const uint8_t* new_record) = 0;

 private:
  std::shared_ptr<TDbfFile> file_;
};

// Physical order. Position 0 is before the first record, 1 to n on record p, n + 1
// after the last, n being the table's current record count.
class TDbfCursor : public TVirtualCursor {
 public:
  explicit TDbfCursor(std::shared_ptr<TDbfFile> file) : TVirtualCursor(std::move(file)) {}

  bool MoveNext() override;
  bool MovePrior() override;
  void MoveFirst() override { position_ = 0; }
  void MoveLast() override;
  int32_t PhysicalRecordNumber() const override { return position_; }
  int32_t RecordCount() const override;
  int32_t SequentialRecordNumber() const override { return position_; }
  void SetSequentialRecordNumber(int32_t number) override { position_ = number; }
  int32_t Bookmark() const override { return position_; }
  void GotoBookmark(int32_t bookmark) override { position_ = bookmark; }
  // The appended record is the last one: the cursor stands on it.
  void InsertKey(int32_t record_number, const uint8_t* record) override;
  void UpdateKey(int32_t, const uint8_t*, const uint8_t*) override {}

 private:
  int32_t position_ = 0;
};

}  // namespace dbf
