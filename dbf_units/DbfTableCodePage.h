// The code page of a table's character fields. A table names it by the code-page mark of
// its header (offset 29, the dBase language-driver id) or, when the mark is 0, by a
// `.cpg` file beside it as GIS programs write one; a table with neither is in code page
// 852, as the tables of the Czech systems the program serves have always been read. This
// unit maps marks and `.cpg` names to code pages and converts a field's bytes to and from
// the program's UTF-8: 852 and Windows-1250 by the tables of DbfCodePage, the other
// single-byte code pages by tables built once from glibc's iconv, UTF-8 as it stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "DbfCodePage.h"
#include "DbfErrors.h"

namespace dbf {

// Where a table's code page was decided: its mark, its `.cpg` file, or neither (also when
// the library could not use what they name).
enum class TCodePageSource { Mark, CpgFile, Default };

// The mark of every table the library creates: code page 852.
inline constexpr uint8_t kOwnCodePageMark = 0x64;

class TTableCodePage {
 public:
  // Code page 852, as a table with neither mark nor `.cpg` file is read and written.
  TTableCodePage();

  // The code page's name as iconv knows it: "CP852", "CP1250", "UTF-8", "ISO-8859-2", ...
  const std::string& Name() const { return name_; }
  TCodePageSource Source() const { return source_; }

  // A field's bytes as UTF-8 text, into `utf8` (its contents replaced, its storage
  // reused). In a UTF-8 table each byte that is no UTF-8 reads as '?'.
  void Decode(std::string_view bytes, std::string& utf8) const {
    if (single_byte_ != nullptr) {
      single_byte_->AssignUtf8(bytes, utf8);
    } else {
      DecodeUtf8(bytes, utf8);
    }
  }
  std::string Decode(std::string_view bytes) const;

  // The bytes that store the UTF-8 text `utf8` in a field `width` bytes wide: cut to the
  // width, in a UTF-8 table before the first character that would not fit whole. A
  // character the code page lacks is stored as '?' in the library's own tables (mark 0x64
  // or none); a table that another program marked refuses it with EDatabaseError
  // "'%s' cannot be stored in field '%s': code page %s of the table lacks it", naming the
  // character, `field_name` and the code page.
  std::string Encode(std::string_view utf8, size_t width, const std::string& field_name) const;

 private:
  friend TTableCodePage TableCodePage(uint8_t mark, const std::string& table_file_name,
                                      const TDbfNoticeHandler& notice);

  static void DecodeUtf8(std::string_view bytes, std::string& utf8);
  std::string EncodeUtf8(std::string_view utf8, size_t width, const std::string& field_name) const;
  [[noreturn]] void Refuse(std::string_view character, const std::string& field_name) const;

  std::string name_;
  TCodePageSource source_ = TCodePageSource::Default;
  const TSingleByteCodePage* single_byte_;  // null for UTF-8
  bool refuses_missing_ = false;
};

// The code page of the table file `table_file_name` whose header carries `mark`. A mark
// the library does not know, or one of a code page it cannot convert (the multi-byte ones
// among them), and a `.cpg` file whose name it does not know fall back to code page 852,
// with a notice (to `notice`) naming the mark or the name.
TTableCodePage TableCodePage(uint8_t mark, const std::string& table_file_name,
                             const TDbfNoticeHandler& notice = DbfNotice);

}  // namespace dbf
