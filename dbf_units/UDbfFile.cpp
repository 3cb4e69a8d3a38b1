// The table file: checking and reading the header and field descriptors of both layouts,
// creating empty tables, and writing the header back with date, count and end marker.
// The value encoding of the records lives in UDbfFileValues.cpp.
#include "UDbfFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <optional>

#include "DbfCodePage.h"
#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "DbfValueText.h"

namespace dbf {

namespace {

constexpr int32_t kMaxFieldCount = 4095;
constexpr int32_t kLargestWord = 0xFFFF;
constexpr size_t kCreatedNameLength = 10;

int32_t FieldCountOf(int32_t header_length, const TLayout& layout) {
  return (header_length - layout.prefix_length) / layout.descriptor_length;
}

EDbfFileError InvalidFieldCount(int32_t count) {
  return EDbfFileError("Invalid field count : " + std::to_string(count) + " (must be between 1 and " +
                       std::to_string(kMaxFieldCount) + ")");
}

// The name bytes before the first zero byte, a to z in upper case, as UTF-8 text.
std::string DescriptorName(const uint8_t* descriptor, size_t length, const TTableCodePage& code_page) {
  std::string name;
  for (size_t i = 0; i < length && descriptor[i] != 0; ++i) {
    const char c = static_cast<char>(descriptor[i]);
    name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return code_page.Decode(name);
}

// The 32-byte descriptor a new table stores for a definition; the length and decimals
// bytes take the low bytes of the values.
std::array<uint8_t, 32> CreatedDescriptor(const TDbfFieldDef& def) {
  std::array<uint8_t, 32> descriptor{};
  const std::string name = Utf8ToOem(def.Name()).substr(0, kCreatedNameLength);
  std::copy(name.begin(), name.end(), descriptor.begin());
  descriptor[kShortLayout.letter_at] = static_cast<uint8_t>(def.NativeFieldType());
  descriptor[kShortLayout.length_at] = static_cast<uint8_t>(def.Size());
  descriptor[kShortLayout.decimals_at] = static_cast<uint8_t>(def.Prec());
  return descriptor;
}

// The table file objects handed out by OpenShared, each while a handle to it lives. The
// user-interface thread is the only caller, so the list takes no lock.
std::vector<std::weak_ptr<TDbfFile>>& SharedTables() {
  static std::vector<std::weak_ptr<TDbfFile>> tables;
  return tables;
}

}  // namespace

// A header or record length beyond 16 bits would be stored cut off and leave a table
// whose records nobody can find.
void TDbfFile::CheckNewTable(const TDbfFieldDefs& defs) {
  if (defs.Count() == 0) throw InvalidFieldCount(0);
  const int64_t header_length = int64_t{kShortLayout.descriptor_length} * defs.Count() + 33;
  if (header_length > kLargestWord) {
    throw EDbfFileError("Too many fields : " + std::to_string(defs.Count()) + " (a new table holds at most 2046)");
  }
  int64_t record_length = 1;
  for (int i = 0; i < defs.Count(); ++i) record_length += static_cast<uint8_t>(defs.Items(i).Size());
  if (record_length > kLargestWord) {
    throw EDbfFileError("Record too long : " + std::to_string(record_length) + " (must be at most 65535)");
  }
}

TDbfFile::TDbfFile(const std::string& file_name, const TOpenOptions& options) : TPagedFile(file_name, options) {
  if (IsNew() || FormatsAnyFile(options.creation)) return;
  ReadHeader();
}

std::shared_ptr<TDbfFile> TDbfFile::OpenShared(const std::string& file_name, const TOpenOptions& options, bool& made) {
  auto& shared = SharedTables();
  std::erase_if(shared, [](const std::weak_ptr<TDbfFile>& table) { return table.expired(); });
  const bool only_new = options.creation == TCreation::CreateNew;
  if (const TPagedFile* open = only_new ? nullptr : FindOpenFile(file_name)) {
    for (const std::weak_ptr<TDbfFile>& entry : shared) {
      std::shared_ptr<TDbfFile> table = entry.lock();
      if (table.get() == open) {
        made = false;
        return table;
      }
    }
    throw EDbfEngineError(FileErrorMessage(TFileAction::Open, file_name));
  }
  auto table = std::make_shared<TDbfFile>(file_name, options);
  shared.push_back(table);
  made = true;
  return table;
}

TTableCodePage TDbfFile::CodePageMarked(uint8_t mark) const {
  return TableCodePage(mark, FileName(), [this](const std::string& text) { Notice(text); });
}

// While another program appends (it holds the append lock), the file may end inside the
// record it is writing and the header count lags it by one: the header count then bounds
// the count, and the two are not compared.
void TDbfFile::ReadHeader() {
  const TAppendLock view(*this, TAppendLock::DontWait);
  SetHeaderSize(kShortLayout.prefix_length);
  const THeaderPrefix prefix = Prefix();
  format_level_ = prefix.format_level;
  code_page_ = CodePageMarked(HeaderBuffer()[kCodePageMarkAt]);
  ChooseLayout(prefix);
  const TLayout& layout = DescriptorLayout();
  if (prefix.header_length < layout.prefix_length) {
    throw InvalidFieldCount(FieldCountOf(prefix.header_length, layout));
  }
  SetHeaderSize(prefix.header_length);
  SetRecordSize(prefix.record_length);
  RememberOpenedLayout();
  if (view.Held()) CheckRecordCount();
  LoadFieldDefs();
  if (!view.Held()) BoundByStoredRecordCount();
}

// A FoxPro version byte alone does not tell the layout: long-layout tables carry some of
// these bytes too, and are read as their format level says.
void TDbfFile::ChooseLayout(const THeaderPrefix& prefix) {
  layout_ = &LayoutOfLevel(format_level_) == &kLongLayout ? THeaderLayout::Long : THeaderLayout::Short;
  if (!IsFoxProVersion(prefix.version) || prefix.header_length <= kShortLayout.prefix_length) return;
  SetHeaderSize(prefix.header_length);
  if (const std::optional<int32_t> count = FoxProDescriptorCount(HeaderBuffer(), static_cast<size_t>(HeaderSize()))) {
    layout_ = THeaderLayout::FoxPro;
    foxpro_descriptor_count_ = *count;
  }
}

void TDbfFile::BoundByStoredRecordCount() {
  uint8_t stored[4];
  if (!ReadAvailable(kRecordCountAt, stored, sizeof stored)) return;
  const auto count = static_cast<int32_t>(LoadLittleEndian(stored, sizeof stored, 0, 4));
  if (count >= 0 && count < RecordCount()) SetRecordCount(count);
}

void TDbfFile::RefreshRecordCount() {
  if (HoldsAppendLock()) {
    DeriveRecordCount();
    return;
  }
  const TAppendLock view(*this, TAppendLock::DontWait);
  DeriveRecordCount();
  if (!view.Held()) BoundByStoredRecordCount();
}

int32_t TDbfFile::AppendRecord(const uint8_t* record) {
  const TAppendLock lock(*this);
  const int32_t number = RecordCount() + 1;
  const int64_t position = RecordPosition(number);
  CheckRecordFits(position);
  CheckStillTheTable(position);
  append_buffer_.assign(record, record + RecordSize());
  if (EndMarkerCountsApart()) append_buffer_.push_back(kEndMarker);
  // The end marker is welcome, not required: a record that fits where its marker does
  // not (a disk full to the byte) is stored all the same.
  errno = 0;
  if (WriteSome(position, append_buffer_.data(), append_buffer_.size()) < RecordSize()) {
    const int error = errno;
    // Peers that read up to the end of the file would take a record written in part for a
    // subject: the end marker goes back in front of it, as far as the platform lets. The
    // append's own failure is the one reported, so the marker's result is let go.
    if (EndMarkerCountsApart()) (void)WriteSome(position, &kEndMarker, 1);
    throw FileError(TFileAction::Write, FileName(), error);
  }
  SetRecordCount(number);
  StoreRecordCount();
  return number;
}

void TDbfFile::RewriteRecord(int32_t n, const uint8_t* record) {
  CheckStillTheTable(RecordPosition(n) + RecordSize());
  StoreRecord(n, record);
}

void TDbfFile::CheckStillTheTable(int64_t reach) {
  if (StillAsLeft(reach)) return;
  const int64_t size = CheckStillAtPath();
  // The figures that place every record: those of a table re-created in this file
  // differ (the version byte, too, when another program wrote it).
  std::array<uint8_t, kRecordLengthAt + 2> figures{};
  if (!ReadAvailable(0, figures.data(), figures.size())) throw ChangedUnderneath("cut short");
  const THeaderPrefix now = ReadHeaderPrefix(figures.data(), figures.size());
  if (now.version != opened_prefix_.version || now.header_length != opened_prefix_.header_length ||
      now.record_length != opened_prefix_.record_length) {
    throw ChangedUnderneath("replaced");
  }
  if (size < std::max<int64_t>(reach, HeaderSize())) throw ChangedUnderneath("cut short");
  KnowSizeLeft(size);
}

void TDbfFile::RememberOpenedLayout() { opened_prefix_ = Prefix(); }

void TDbfFile::StoreRecordCount() {
  StoreHeaderFigure(kRecordCountAt, 4, static_cast<uint32_t>(RecordCount()));
  try {
    WriteExact(kRecordCountAt, HeaderBuffer() + kRecordCountAt, 4);
  } catch (const EDbfFileError& error) {
    Notice(std::string(error.what()) + ": the record count in the header stays behind until the next append or close");
  }
}

void TDbfFile::CheckRecordCount() {
  const auto in_header = static_cast<int32_t>(Prefix().record_count);
  if (in_header == RecordCount()) return;
  Notice("Invalid Record Count,\rRecordCount in Hdr : " + std::to_string(in_header) +
         "\rexpected : " + std::to_string(RecordCount()));
}

int32_t TDbfFile::DescriptorCount(int32_t header_length) const {
  if (layout_ == THeaderLayout::FoxPro) return foxpro_descriptor_count_;
  return FieldCountOf(header_length, DescriptorLayout());
}

// Descriptors are taken from the header buffer, which holds the whole header area as
// read from the file (zeros where the file is shorter).
void TDbfFile::LoadFieldDefs() {
  field_defs_.Clear();
  null_flags_ = {};
  hidden_length_ = 0;
  const TLayout& layout = DescriptorLayout();
  const THeaderPrefix prefix = Prefix();
  const int32_t count = DescriptorCount(prefix.header_length);
  if (count < 1 || count > kMaxFieldCount) throw InvalidFieldCount(count);
  SetHeaderSize(prefix.header_length);
  SetRecordSize(prefix.record_length);
  int32_t offset = 1;
  int next_flag_bit = 0;
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* descriptor =
        HeaderBuffer() + layout.prefix_length + static_cast<size_t>(i) * layout.descriptor_length;
    const uint8_t length = descriptor[layout.length_at];
    if (layout_ == THeaderLayout::FoxPro && descriptor[layout.letter_at] == kFoxProNullFlagsLetter) {
      // The null flags are no field of the table: no dataset shows them.
      const int32_t inside = std::clamp(RecordSize() - offset, 0, static_cast<int32_t>(length));
      null_flags_ = {static_cast<size_t>(offset), static_cast<size_t>(inside), inside == length, true};
      hidden_length_ += length;
      offset += length;
      continue;
    }
    TDbfFieldDef& def = field_defs_.Add();
    def.SetOffset(offset);
    def.SetName(DescriptorName(descriptor, layout.name_length, code_page_));
    if (layout_ == THeaderLayout::FoxPro) {
      LoadFoxProColumn(def, descriptor, next_flag_bit);
    } else {
      // Length and decimals come before the letter: the letter's normalisation then
      // chooses the type from the stored figures.
      def.SetSize(length);
      def.SetPrec(descriptor[layout.decimals_at]);
      def.SetNativeFieldType(static_cast<char>(descriptor[layout.letter_at]));
    }
    if (LongLayout()) {
      const uint32_t counter = LoadLittleEndian(descriptor, kLongLayout.descriptor_length, kAutoIncAt, 4);
      def.SetAutoIncValue(static_cast<int32_t>(counter));
    }
    offset += def.Size();
  }
  CheckRecordSize();
  if (layout_ == THeaderLayout::FoxPro) RefuseWrites("it is a FoxPro table, which this program only reads");
}

// The null flags give each column of varying length a bit that marks it shorter than its
// width, then each column that may be null a bit that marks it null, in field order.
void TDbfFile::LoadFoxProColumn(TDbfFieldDef& def, const uint8_t* descriptor, int& next_flag_bit) const {
  const auto letter = static_cast<char>(std::toupper(descriptor[kShortLayout.letter_at]));
  const int length_bit = letter == 'V' || letter == 'Q' ? next_flag_bit++ : -1;
  const int null_bit = (descriptor[kFoxProFlagsAt] & kFoxProNullable) != 0 ? next_flag_bit++ : -1;
  def.SetFoxProColumn(letter, descriptor[kShortLayout.length_at], descriptor[kShortLayout.decimals_at], null_bit,
                      length_bit);
}

int64_t TDbfFile::FilledRecordLength() const {
  int64_t length = 1 + hidden_length_;
  for (int i = 0; i < field_defs_.Count(); ++i) length += field_defs_.Items(i).Size();
  return length;
}

void TDbfFile::CheckRecordSize() {
  const int64_t expected = FilledRecordLength();
  if (expected == RecordSize()) return;
  Notice("Invalid Record Size,\rRecord Size in Hdr : " + std::to_string(RecordSize()) +
         "\rExpected : " + std::to_string(expected));
  RefuseWrites("its header gives records of " + std::to_string(RecordSize()) + " bytes, but its fields as read fill " +
               std::to_string(expected) + " (writing would shift the fields for every other reader)");
}

void TDbfFile::FormatTable(const TDbfFieldDefs& defs) {
  CheckNewTable(defs);
  try {
    WriteEmptyTable(defs);
  } catch (const EDatabaseError&) {
    // Leave the object in its header's layout as far as the file allows; the first
    // failure is the one worth reporting.
    try {
      ReadBackFormattedHeader();
    } catch (const EDatabaseError&) {
    }
    throw;
  }
  ReadBackFormattedHeader();
}

// Writes prefix, descriptors and terminator; the descriptors go out as the records of a
// temporary layout of 32-byte header and 32-byte records.
void TDbfFile::WriteEmptyTable(const TDbfFieldDefs& defs) {
  field_defs_.Clear();
  RefuseWrites("");  // a table formatted anew lays its fields out itself
  null_flags_ = {};
  hidden_length_ = 0;
  format_level_ = 3;
  layout_ = THeaderLayout::Short;
  code_page_ = CodePageMarked(kOwnCodePageMark);
  TruncateTo(0);
  SetRecordSize(kShortLayout.descriptor_length);
  SetHeaderSize(kShortLayout.prefix_length);
  std::fill(HeaderBuffer(), HeaderBuffer() + HeaderSize(), 0);
  HeaderBuffer()[kVersionAt] = kCreatedVersion;
  // Peers read the Czech names right only when the table says its code page.
  HeaderBuffer()[kCodePageMarkAt] = kOwnCodePageMark;
  int32_t record_length = 1;
  for (int i = 0; i < defs.Count(); ++i) {
    const std::array<uint8_t, 32> descriptor = CreatedDescriptor(defs.Items(i));
    StoreRecord(i + 1, descriptor.data());
    record_length += descriptor[kShortLayout.length_at];
  }
  const int32_t header_length = kShortLayout.descriptor_length * defs.Count() + 33;
  WriteExact(header_length - 1, &kHeaderTerminator, 1);
  StoreHeaderFigure(kRecordLengthAt, 2, static_cast<uint32_t>(record_length));
  StoreHeaderFigure(kHeaderLengthAt, 2, static_cast<uint32_t>(header_length));
  TPagedFile::StoreHeader();
}

void TDbfFile::ReadBackFormattedHeader() {
  const THeaderPrefix prefix = Prefix();
  SetRecordSize(prefix.record_length);
  SetHeaderSize(prefix.header_length);
  RememberOpenedLayout();
  StoreHeader();
}

const TDbfFieldDefs& TDbfFile::LoadedFieldDefs() {
  if (field_defs_.Count() == 0) LoadFieldDefs();
  return field_defs_;
}

void TDbfFile::CopyFieldDefs(TDbfFieldDefs& dest) {
  dest.Clear();
  const TDbfFieldDefs& own = LoadedFieldDefs();
  for (int i = 0; i < own.Count(); ++i) dest.AddCopy(own.Items(i), TDbfFieldDefs::kSameLetter);
}

void TDbfFile::StoreHeader() {
  if (HeaderSize() == 0) throw EDbfFileError("HeaderSize=0");
  const TAppendLock lock(*this);
  const int64_t end = HeaderSize() + int64_t{RecordCount()} * RecordSize();
  ForgetSizeLeft();  // the header, once per close, is worth the full look
  CheckStillTheTable(end);
  StampHeader();
  StoreAutoIncCounters();
  TPagedFile::StoreHeader();
  if (EndMarkerCountsApart()) WriteExact(end, &kEndMarker, 1);
  Sync();
  HeaderStored();
}

// In a table whose records are one byte long the end marker would be taken for one more
// record by everyone who counts records by the file size; such a table goes without it.
bool TDbfFile::EndMarkerCountsApart() const { return RecordSize() > 1; }

THeaderPrefix TDbfFile::Prefix() const { return ReadHeaderPrefix(HeaderBuffer(), static_cast<size_t>(HeaderSize())); }

void TDbfFile::StoreHeaderFigure(size_t at, size_t width, uint32_t value) {
  StoreLittleEndian(HeaderBuffer(), static_cast<size_t>(HeaderSize()), at, width, value);
}

void TDbfFile::StampHeader() {
  const TCalendarDate today = LocalToday();
  StoreHeaderFigure(kDateAt, 1, static_cast<uint32_t>((today.year - 1900) & 0xFF));
  StoreHeaderFigure(kDateAt + 1, 1, static_cast<uint32_t>(today.month));
  StoreHeaderFigure(kDateAt + 2, 1, static_cast<uint32_t>(today.day));
  StoreHeaderFigure(kRecordCountAt, 4, static_cast<uint32_t>(RecordCount()));
}

// Every '+' descriptor of a long-layout header gets its field's current counter; the
// header buffer goes out whole right after, so the file ends up as if each changed
// descriptor had been rewritten on its own.
void TDbfFile::StoreAutoIncCounters() {
  if (!LongLayout()) return;
  for (int i = 0; i < field_defs_.Count(); ++i) {
    const TDbfFieldDef& def = field_defs_.Items(i);
    if (def.NativeFieldType() != '+') continue;
    const size_t at = kLongLayout.prefix_length + static_cast<size_t>(i) * kLongLayout.descriptor_length + kAutoIncAt;
    StoreHeaderFigure(at, 4, static_cast<uint32_t>(def.AutoIncValue()));
  }
}

void TDbfFile::AdvanceAutoIncValues() {
  if (!LongLayout()) return;
  for (int i = 0; i < field_defs_.Count(); ++i) {
    TDbfFieldDef& def = field_defs_.Items(i);
    // The counter wraps like the 32-bit value it is stored as.
    if (def.NativeFieldType() == '+') {
      def.SetAutoIncValue(static_cast<int32_t>(static_cast<uint32_t>(def.AutoIncValue()) + 1));
    }
  }
}

}  // namespace dbf
