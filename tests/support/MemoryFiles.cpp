// Table files held in memory behind the platform seam, for the fuzz targets and the benchmarks.
#include "MemoryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

namespace dbf::fuzz {

namespace {

class TMemoryFileIO final : public TFileIO {
 public:
  TMemoryFileIO(std::shared_ptr<TBytes> bytes, bool writable, int64_t largest_file)
      : bytes_(std::move(bytes)), writable_(writable), largest_file_(largest_file) {}

  int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    if (offset < 0) return Fail(EINVAL);
    const auto size = static_cast<int64_t>(bytes_->size());
    if (offset >= size) return 0;
    const size_t moved = std::min(count, static_cast<size_t>(size - offset));
    std::memcpy(buffer, bytes_->data() + offset, moved);
    return static_cast<int64_t>(moved);
  }

  int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
    if (!writable_) return Fail(EBADF);
    if (offset < 0) return Fail(EINVAL);
    if (offset + static_cast<int64_t>(count) > largest_file_) return Fail(ENOSPC);
    const size_t end = static_cast<size_t>(offset) + count;
    if (end > bytes_->size()) bytes_->resize(end, 0);
    std::memcpy(bytes_->data() + offset, buffer, count);
    return static_cast<int64_t>(count);
  }

  int64_t Size() override { return static_cast<int64_t>(bytes_->size()); }

  bool Truncate(int64_t length) override {
    if (!writable_ || length < 0 || length > largest_file_) return false;
    bytes_->resize(static_cast<size_t>(length), 0);
    return true;
  }

 private:
  static int64_t Fail(int error) {
    errno = error;
    return -1;
  }

  std::shared_ptr<TBytes> bytes_;
  bool writable_;
  int64_t largest_file_;
};

}  // namespace

TMemoryFiles::TMemoryFiles(int64_t largest_file)
    : largest_file_(largest_file), folder_(testsupport::SystemTempFolder(), "dbf_memory_files.") {
  previous_ = SetFileIOFactory([this](const std::string& path, TFileOpenMode mode) { return Open(path, mode); });
}

TMemoryFiles::~TMemoryFiles() { SetFileIOFactory(std::move(previous_)); }

std::string TMemoryFiles::Put(const std::string& name, const uint8_t* bytes, size_t size) {
  const std::string path = folder_ / name;
  auto& file = files_[path];
  if (!file) {
    std::ofstream stand_in(path, std::ios::binary);
    file = std::make_shared<TBytes>();
  }
  file->assign(bytes, bytes + size);
  return path;
}

TBytes& TMemoryFiles::Contents(const std::string& path) {
  auto& file = files_[path];
  if (!file) file = std::make_shared<TBytes>();
  return *file;
}

std::unique_ptr<TFileIO> TMemoryFiles::Open(const std::string& path, TFileOpenMode mode) {
  auto& file = files_[path];
  if (!file) file = std::make_shared<TBytes>();
  if (mode == TFileOpenMode::CreateExclusive) file->clear();
  return std::make_unique<TMemoryFileIO>(file, mode != TFileOpenMode::ReadOnly, largest_file_);
}

}  // namespace dbf::fuzz
