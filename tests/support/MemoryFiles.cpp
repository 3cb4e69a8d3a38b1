// Table files held in memory behind the platform seam, for the fuzz targets, the
// power-cut tests and the benchmarks.
#include "MemoryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

namespace dbf::fuzz {

namespace {

using TFile = TMemoryFiles::TFile;

class TMemoryFileIO final : public TFileIO {
 public:
  TMemoryFileIO(std::shared_ptr<TFile> file, bool writable, int64_t largest_file)
      : file_(std::move(file)), power_cuts_(file_->power_cuts), writable_(writable), largest_file_(largest_file) {}

  int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    if (Dead()) return Fail(EIO);
    if (offset < 0) return Fail(EINVAL);
    const TBytes& bytes = file_->bytes;
    const auto size = static_cast<int64_t>(bytes.size());
    if (offset >= size) return 0;
    const size_t moved = std::min(count, static_cast<size_t>(size - offset));
    std::memcpy(buffer, bytes.data() + offset, moved);
    return static_cast<int64_t>(moved);
  }

  int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
    if (Dead()) return Fail(EIO);
    if (!writable_) return Fail(EBADF);
    if (offset < 0) return Fail(EINVAL);
    if (offset + static_cast<int64_t>(count) > largest_file_) return Fail(ENOSPC);
    TBytes& bytes = file_->bytes;
    const size_t end = static_cast<size_t>(offset) + count;
    if (end > bytes.size()) bytes.resize(end, 0);
    std::memcpy(bytes.data() + offset, buffer, count);
    return static_cast<int64_t>(count);
  }

  int64_t Size() override { return Dead() ? Fail(EIO) : static_cast<int64_t>(file_->bytes.size()); }

  bool Truncate(int64_t length) override {
    if (Dead()) return Refuse(EIO);
    if (!writable_ || length < 0 || length > largest_file_) return false;
    file_->bytes.resize(static_cast<size_t>(length), 0);
    return true;
  }

  bool Sync() override {
    if (Dead()) return Refuse(EIO);
    file_->synced = file_->bytes;
    file_->named_on_device = true;
    return true;
  }

  bool Close() override { return !Dead() || Refuse(EIO); }

 private:
  bool Dead() const { return file_->power_cuts != power_cuts_; }

  static int64_t Fail(int error) {
    errno = error;
    return -1;
  }
  static bool Refuse(int error) {
    errno = error;
    return false;
  }

  std::shared_ptr<TFile> file_;
  int power_cuts_;
  bool writable_;
  int64_t largest_file_;
};

void MakeStandIn(const std::string& path) { std::ofstream stand_in(path, std::ios::binary | std::ios::app); }

}  // namespace

TMemoryFiles::TMemoryFiles(int64_t largest_file)
    : largest_file_(largest_file), folder_(testsupport::SystemTempFolder(), "dbf_memory_files.") {}

TMemoryFiles::~TMemoryFiles() = default;

TFileSeam TMemoryFiles::Seam(TDbfNoticeHandler notice) {
  return {.open_file = [this](const std::string& path, TFileOpenMode mode) { return Open(path, mode); },
          .notice = std::move(notice)};
}

std::string TMemoryFiles::Put(const std::string& name, const uint8_t* bytes, size_t size) {
  const std::string path = folder_ / name;
  MakeStandIn(path);
  TFile& file = FileAt(path);
  file.bytes.assign(bytes, bytes + size);
  file.synced = file.bytes;
  file.named_on_device = true;
  return path;
}

TBytes& TMemoryFiles::Contents(const std::string& path) { return FileAt(path).bytes; }

TBytes& TMemoryFiles::SyncedContents(const std::string& path) { return FileAt(path).synced; }

void TMemoryFiles::CutPower() {
  for (auto entry = files_.begin(); entry != files_.end();) {
    TFile& file = *entry->second;
    ++file.power_cuts;
    if (file.named_on_device) {
      file.bytes = file.synced;
      ++entry;
      continue;
    }
    std::error_code ignored;  // a stand-in that is gone already is what the cut leaves
    std::filesystem::remove(entry->first, ignored);
    entry = files_.erase(entry);
  }
}

TMemoryFiles::TFile& TMemoryFiles::FileAt(const std::string& path) {
  auto& file = files_[path];
  if (!file) file = std::make_shared<TFile>();
  return *file;
}

std::unique_ptr<TFileIO> TMemoryFiles::Open(const std::string& path, TFileOpenMode mode) {
  TFile& file = FileAt(path);
  if (mode == TFileOpenMode::CreateExclusive) {
    MakeStandIn(path);
    file.bytes.clear();
    file.named_on_device = false;
  }
  return std::make_unique<TMemoryFileIO>(files_[path], mode != TFileOpenMode::ReadOnly, largest_file_);
}

}  // namespace dbf::fuzz
