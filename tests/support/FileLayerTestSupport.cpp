// Shared helpers of the table-file-layer tests.
#include "FileLayerTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <utility>

#include "DbfFileLayout.h"

namespace dbf::filetest {

namespace {

// The descriptor of `field` in `layout`: the name zero-padded (cut to its slot), letter,
// length, decimals, and in the long layout the autoincrement value.
TBytes Descriptor(const TRawField& field, const TLayout& layout) {
  TBytes bytes(static_cast<size_t>(layout.descriptor_length), 0);
  std::copy_n(field.name.begin(), std::min(field.name.size(), layout.name_length), bytes.begin());
  bytes[layout.letter_at] = static_cast<uint8_t>(field.letter);
  bytes[layout.length_at] = field.length;
  bytes[layout.decimals_at] = field.decimals;
  if (&layout == &kLongLayout) {
    StoreLittleEndian(bytes.data(), bytes.size(), kAutoIncAt, 4, static_cast<uint32_t>(field.autoinc));
  } else {
    bytes[kFoxProFlagsAt] = field.foxpro_flags;
  }
  return bytes;
}

// The faults a seam applies, or null once the seam is gone: a table still open then (a
// test fixture's dataset closed after the test body) reaches the real file unhindered.
using TFaultsCell = std::shared_ptr<TFaults*>;

class TFaultyFileIO final : public TFileIO {
 public:
  TFaultyFileIO(std::unique_ptr<TFileIO> real, TFaultsCell faults)
      : real_(std::move(real)), faults_(std::move(faults)) {}

  int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    TFaults* faults = *faults_;
    if (faults && ++faults->reads == faults->failing_read) {
      errno = EIO;
      return -1;
    }
    return real_->ReadAt(offset, buffer, count);
  }

  int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
    TFaults* faults = *faults_;
    if (faults == nullptr) return real_->WriteAt(offset, buffer, count);
    const int number = ++faults->writes;
    faults->last_write_offset = offset;
    if (number == faults->failing_write) {
      errno = ENOSPC;
      return -1;
    }
    if (number == faults->short_write) return real_->WriteAt(offset, buffer, count / 2);
    // Offsets beyond the real file stand for a table grown huge: nothing is written.
    if (faults->extra_size > 0 && offset >= faults->extra_size) return static_cast<int64_t>(count);
    return real_->WriteAt(offset, buffer, count);
  }

  int64_t Size() override {
    const TFaults* faults = *faults_;
    return real_->Size() + (faults ? faults->extra_size : 0);
  }
  bool Truncate(int64_t length) override { return real_->Truncate(length); }
  TFileLook LookAtPath(const std::string& path) override { return real_->LookAtPath(path); }
  TFileLook LookAtHandle() override { return real_->LookAtHandle(); }
  bool Sync() override {
    TFaults* faults = *faults_;
    if (faults && ++faults->syncs == faults->failing_sync) return Refuse(EIO);
    return real_->Sync();
  }

  bool Close() override {
    const bool closed = real_->Close();
    const TFaults* faults = *faults_;
    return faults && faults->failing_close ? Refuse(EIO) : closed;
  }

  TLockResult LockAppends(bool wait) override {
    TFaults* faults = *faults_;
    if (faults && faults->refuse_locks) return TLockResult::Unsupported;
    const TLockResult result = real_->LockAppends(wait);
    if (faults && result == TLockResult::Locked) ++faults->locks;
    return result;
  }
  void UnlockAppends() override { real_->UnlockAppends(); }

 private:
  static bool Refuse(int error) {
    errno = error;
    return false;
  }

  std::unique_ptr<TFileIO> real_;
  TFaultsCell faults_;
};

}  // namespace

TBytes ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const TBytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TBytes BytesOf(const std::string& text) { return TBytes(text.begin(), text.end()); }

uint32_t HeaderRecordCount(const TBytes& bytes) { return ReadHeaderPrefix(bytes.data(), bytes.size()).record_count; }

TBytes TRawTable::Bytes() const {
  const TLayout& layout = foxpro_layout ? kShortLayout : LayoutOfLevel(FormatLevelOfVersion(version));
  const size_t backlink = foxpro_layout && version >= 0x30 && version <= 0x32 ? kFoxProBacklinkLength : 0;
  TBytes descriptors;
  uint32_t fields_length = 1;
  for (const TRawField& field : fields) {
    const TBytes descriptor = Descriptor(field, layout);
    descriptors.insert(descriptors.end(), descriptor.begin(), descriptor.end());
    fields_length += field.length;
  }
  const auto prefix_length = static_cast<size_t>(layout.prefix_length);
  TBytes bytes(prefix_length, 0);
  const uint8_t date[] = {126, 1, 15};
  bytes[kVersionAt] = version;
  std::copy(std::begin(date), std::end(date), bytes.begin() + kDateAt);
  const auto store = [&](size_t at, size_t width, uint32_t value) {
    StoreLittleEndian(bytes.data(), bytes.size(), at, width, value);
  };
  store(kRecordCountAt, 4, record_count.value_or(static_cast<uint32_t>(records.size())));
  store(kHeaderLengthAt, 2,
        header_length.value_or(static_cast<uint16_t>(prefix_length + descriptors.size() + 1 + backlink)));
  store(kRecordLengthAt, 2, record_length.value_or(static_cast<uint16_t>(fields_length)));
  bytes.insert(bytes.end(), descriptors.begin(), descriptors.end());
  bytes.push_back(kHeaderTerminator);
  bytes.resize(bytes.size() + backlink, 0);
  for (const std::string& record : records) bytes.insert(bytes.end(), record.begin(), record.end());
  if (end_marker) bytes.push_back(kEndMarker);
  return bytes;
}

TNoticeCapture::TNoticeCapture()
    : previous_(SetDbfNoticeHandler([this](const std::string& text) { notices_.push_back(text); })) {}

TNoticeCapture::~TNoticeCapture() { SetDbfNoticeHandler(std::move(previous_)); }

void AddColumn(TDbfFieldDefs& defs, const std::string& name, char letter, int32_t size, int32_t decimals) {
  TDbfFieldDef& def = defs.Add();
  def.SetName(name);
  def.SetSize(size);
  def.SetPrec(decimals);
  def.SetNativeFieldType(letter);
}

void AddResultsSchema(TDbfFieldDefs& defs) {
  struct TDeclared {
    const char* name;
    TFieldType type;
    int32_t size;
  };
  static constexpr TDeclared kResults[] = {
      {"PRIJMENI", TFieldType::ftString, 15},  {"JMENO", TFieldType::ftString, 15},
      {"RC1", TFieldType::ftString, 6},        {"RC2", TFieldType::ftString, 4},
      {"POC_SPR", TFieldType::ftInteger, 5},   {"POC_CHYB", TFieldType::ftInteger, 5},
      {"SUMA_AGR", TFieldType::ftSmallint, 3}, {"SUMA_SM", TFieldType::ftSmallint, 3},
      {"POM_A_S", TFieldType::ftString, 5},    {"POM_S_S", TFieldType::ftString, 5},
      {"ODPOVEDI", TFieldType::ftString, 254}};
  for (const TDeclared& field : kResults) {
    TDbfFieldDef& def = defs.Add();
    def.SetName(field.name);
    def.SetFieldType(field.type);
    def.SetNativeFieldType(field.type == TFieldType::ftString ? 'C' : 'N');
    def.SetSize(field.size);
    def.SetPrec(0);
  }
}

TFaultyFiles::TFaultyFiles(TFaults& faults, TReach reach)
    : faults_(std::make_shared<TFaults*>(&faults)),
      factory_([cell = faults_](const std::string& path, TFileOpenMode mode) -> std::unique_ptr<TFileIO> {
        std::unique_ptr<TFileIO> real = OpenPosixFileIO(path, mode);
        if (!real) return nullptr;
        return std::make_unique<TFaultyFileIO>(std::move(real), cell);
      }),
      reach_(reach) {
  if (reach_ == ProcessWide) previous_ = SetFileIOFactory(factory_);
}

TFaultyFiles::~TFaultyFiles() {
  *faults_ = nullptr;
  if (reach_ == ProcessWide) SetFileIOFactory(std::move(previous_));
}

}  // namespace dbf::filetest
