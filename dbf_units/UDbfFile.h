// A table file: a paged file whose header holds the dBase prefix and field descriptors.
// It checks and reads headers of both layouts, creates new tables, rewrites the header
// with date, count and end marker, appends records so that the header on disk stays
// current, and encodes and decodes field values in a record buffer. It keeps no cache:
// every record transfer goes straight to the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DbfFieldTypes.h"
#include "DbfFileLayout.h"
#include "DbfTableCodePage.h"
#include "DbfValueText.h"
#include "UDbfFieldDef.h"
#include "UDbfPagedFile.h"

namespace dbf {

// Where a field's bytes lie in a record, as far as they lie inside the record length.
struct TFieldSpan {
  size_t offset = 0;
  size_t length = 0;
  bool complete = true;  // the whole field lies inside the record
  bool decoded = false;  // its value is more than its trimmed text (TDbfFieldDef::NeedsDecoding)
};

class TDbfFile : public TPagedFile {
 public:
  // As TPagedFile, then reads and checks the header of an existing file unless the file
  // is new or the options' creation formats any file (FormatsAnyFile). Header findings go
  // to the seam's notice handler (Notice); a field count outside 1 to
  // 4095 throws EDbfFileError "Invalid field count : %d (must be between 1 and 4095)".
  TDbfFile(const std::string& file_name, const TOpenOptions& options);

  // The table file object that datasets share for `file_name`: the one the registry holds,
  // as it stands (its access mode, header and definitions are those of its first opener),
  // or a new one made with these options; `made` tells which. Every copy of the handle
  // is a reference; the last one destroys the object, which closes the file and takes it
  // out of the registry. With TCreation::CreateNew a new object is always made (see
  // TPagedFile).
  // Throws what the constructor throws, and EDbfEngineError "Cannot open file %s" when
  // the name is held by a file object that is not shared (a tool's own look at it).
  static std::shared_ptr<TDbfFile> OpenShared(const std::string& file_name, const TOpenOptions& options, bool& made);

  // 2, 3, 5, 6 or 7, from the version byte.
  int FormatLevel() const { return format_level_; }
  // The layout of the format level, or FoxPro's short layout for a FoxPro version byte
  // whose header is laid out so (FoxProDescriptorCount).
  THeaderLayout Layout() const { return layout_; }
  bool LongLayout() const { return layout_ == THeaderLayout::Long; }

  // The code page of the character fields and the field names: the one the header's mark
  // or the .cpg file beside the table names, else 852 (see TableCodePage).
  const TTableCodePage& CodePage() const { return code_page_; }

  // The table's own definitions, read from the header.
  TDbfFieldDefs& FieldDefs() { return field_defs_; }
  const TDbfFieldDefs& FieldDefs() const { return field_defs_; }

  // Reads the descriptors. Fields that (lengths normalised) do not fill the header's
  // record length exactly are read with the "Invalid Record Size" warning, but writing a
  // record would lay them out otherwise than every other reader of the file: such a
  // table refuses writes (TPagedFile::WriteRefusal names both record lengths) and is
  // never written, not even its header.
  void LoadFieldDefs();

  // Refuses, with EDbfFileError, definitions no table can hold: none at all ("Invalid
  // field count : 0 (must be between 1 and 4095)", as opening such a table says), and
  // those that would not fit the header's 16-bit words: more than 2046 fields ("Too many
  // fields : %d ..."), records over 65535 bytes ("Record too long : %d ..."). Needs no
  // file, so a table is checked before its file is made.
  static void CheckNewTable(const TDbfFieldDefs& defs);
  // Turns the file into an empty level-3 table with these fields, marked as code page 852
  // (kOwnCodePageMark), so that peers read its text untold. Definitions that
  // CheckNewTable refuses are refused before the file is touched.
  void FormatTable(const TDbfFieldDefs& defs);
  // Clears `dest` and fills it with copies of the own definitions (reading them first
  // when the own list is empty), letters kept (TDbfFieldDefs::AddCopy with kSameLetter).
  void CopyFieldDefs(TDbfFieldDefs& dest);
  // The own definitions, read first when the list is empty.
  const TDbfFieldDefs& LoadedFieldDefs();
  // Stamps date and record count, writes the header, the autoincrement counters (long
  // layout) and the end marker (not for one-byte records, where the file size would
  // count it as a record), and returns once they are on the device (Sync). Under the
  // append lock, so that count and marker go where the table ends now, whatever other
  // programs appended meanwhile. Writes nothing into a table another program changed
  // underneath (CheckStillTheTable).
  void StoreHeader() override;

  // REQUIRES: a file opened for writing; `record` holds RecordSize bytes.
  // Appends `record` where the table ends now (other programs may have appended since
  // this one last looked) and returns its number. Under the append lock, the record and
  // the end marker go out in one write (the marker may be left out where it does not
  // fit), then the header's four-byte record count: a
  // table left by a killed program or a power cut reads whole everywhere, its header
  // count lagging by one only when the end came between the two writes. The header's
  // date waits for StoreHeader.
  // Throws EDbfFileError "Cannot write file %s" when the record cannot be written whole
  // (the count is then unchanged) or would end past 2 GiB, "Cannot write file %s: it was
  // deleted ..." when another program changed the table underneath (CheckStillTheTable;
  // nothing is written then), and "Cannot lock file %s".
  // A header count that cannot be written after the record was is reported through
  // Notice: the record is stored, and the next append or close writes the count.
  int32_t AppendRecord(const uint8_t* record);
  // REQUIRES: 1 <= n <= RecordCount(), a file opened for writing; `record` holds
  // RecordSize bytes. Writes `record` over stored record n, once the file proves to be
  // the table it opened and to hold record n (CheckStillTheTable).
  void RewriteRecord(int32_t n, const uint8_t* record);
  // Derives the record count again, so that records other programs appended become
  // visible. A record that another program is writing at this moment is not counted:
  // while a writer holds the append lock, the header count it keeps bounds the count.
  void RefreshRecordCount();

  // Value buffers by requested type: ftString std::string; ftSmallint int16_t;
  // ftInteger, ftAutoInc int32_t; ftLargeint int64_t; ftBoolean int16_t (1 true, 0
  // false); ftFloat, ftCurrency double; ftDate int32_t day number (1 January of year 1 is
  // day 1); ftDateTime double.
  //
  // REQUIRES: 0 <= field_index < FieldDefs().Count(); `record` holds RecordSize bytes.
  // True when the field has a value; with `dest` null only the emptiness test is made.
  // Bytes of a field that lie past the record length are never touched: in a damaged
  // table whose fields add up to more than its record length, a text field is read from
  // its bytes inside the record, a binary field not wholly inside reads as empty, and
  // writing stores only the bytes inside the record.
  // The binary letters hand out their own kind of value: I and + an int32_t for
  // ftInteger and ftAutoInc, O and @ a double for ftFloat, ftCurrency and ftDateTime. A
  // request of another type only learns whether there is a value, as its buffer would
  // not hold the value; storing such a value throws EDbfFileError.
  bool GetFieldValue(int field_index, TFieldType type, void* dest, const uint8_t* record) const;
  // REQUIRES: 0 <= field_index < FieldDefs().Count(). Where the field lies in a record;
  // the span stays valid while the table is open, so a reader may find it once.
  TFieldSpan FieldSpan(int field_index) const;
  // The trimmed text of a text field at `span` of `record` (GetFieldValue's text before
  // its conversion), without a copy.
  // REQUIRES: !span.decoded; `record` holds RecordSize bytes.
  static void FieldText(const TFieldSpan& span, const uint8_t* record, TFieldText& text) {
    TrimFieldText({reinterpret_cast<const char*>(record + span.offset), span.length}, text);
  }
  // REQUIRES: as above. Without `source` the field is made empty. Throws EDbfFileError
  // "Field data too long :%d (must be between 1 and %d). Field '%s' of table %s" (the
  // field's and the table's names) leaving the record unchanged,
  // and CheckWritable's error for a column of a FoxPro table.
  void SetFieldValue(int field_index, TFieldType type, uint8_t* record, const void* source) const;

  // A new record: present, every text column blank and every binary column empty (four
  // or eight spaces would decode as a number nobody stored); in the long layout its '+'
  // columns take the current autoincrement values.
  // REQUIRES: `record` holds RecordSize bytes.
  void BlankRecord(uint8_t* record) const;
  // Long layout: a new record takes the current autoincrement values of its '+' fields,
  // and every append advances them by one.
  void FillAutoIncValues(uint8_t* record) const;
  void AdvanceAutoIncValues();

 private:
  // Before every write into the table: throws EDbfFileError (TPagedFile::CheckStillAtPath)
  // unless the open file is still the file at its path, holds at least `reach` bytes and
  // its header, and still has the version, header length and record length it had when
  // it was opened or created. Another program that deleted, replaced, cut short or
  // re-created the table meanwhile must not get this program's records or header
  // written into whatever is there now. In a run of appends under a held append lock,
  // an append finds the file as the one before it left it with one look at the handle
  // (TPagedFile::StillAsLeft); the full look follows whenever anything differs.
  void CheckStillTheTable(int64_t reach);
  void RememberOpenedLayout();

  void ReadHeader();
  // The code page of this table for the header's `mark` (TableCodePage), its findings
  // heard through Notice.
  TTableCodePage CodePageMarked(uint8_t mark) const;
  void ChooseLayout(const THeaderPrefix& prefix);
  const TLayout& DescriptorLayout() const { return LongLayout() ? kLongLayout : kShortLayout; }
  int32_t DescriptorCount(int32_t header_length) const;
  void LoadFoxProColumn(TDbfFieldDef& def, const uint8_t* descriptor, int& next_flag_bit) const;
  void CheckRecordCount();
  void CheckRecordSize();
  // 1 + the normalised lengths of the fields.
  int64_t FilledRecordLength() const;
  void WriteEmptyTable(const TDbfFieldDefs& defs);
  void ReadBackFormattedHeader();
  THeaderPrefix Prefix() const;
  void StoreHeaderFigure(size_t at, size_t width, uint32_t value);
  void StampHeader();
  void StoreAutoIncCounters();
  void StoreRecordCount();
  bool EndMarkerCountsApart() const;
  void BoundByStoredRecordCount();
  const TDbfFieldDef& FieldAt(int field_index) const;

  int format_level_ = 3;
  THeaderLayout layout_ = THeaderLayout::Short;
  int32_t foxpro_descriptor_count_ = 0;
  // FoxPro's hidden null flags column, as far as it lies in the record, and its stored
  // length (it counts in the record length but is no field).
  TFieldSpan null_flags_;
  int32_t hidden_length_ = 0;
  TTableCodePage code_page_;
  TDbfFieldDefs field_defs_;
  std::vector<uint8_t> append_buffer_;  // record and end marker, written together
  THeaderPrefix opened_prefix_{};       // as read at open or written at create
};

}  // namespace dbf
