// Code pages 852 and Windows-1250 against glibc's converter, and the UTF-8 helpers.
#include "DbfCodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>
#include <string>

namespace dbf {
namespace {

// One byte of `code_page` as glibc's iconv converts it to UTF-8; nothing for a byte the
// code page leaves undefined.
std::optional<std::string> IconvToUtf8(const char* code_page, char byte) {
  iconv_t converter = iconv_open("UTF-8", code_page);
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << code_page;
  char in[1] = {byte};
  char out[8] = {};
  char* in_at = in;
  char* out_at = out;
  size_t in_left = 1;
  size_t out_left = sizeof out;
  const size_t result = iconv(converter, &in_at, &in_left, &out_at, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return std::nullopt;
  return std::string(out, out_at);
}

TEST(DbfCodePage, HighHalvesMatchGlibcAndEveryByteComesBack) {
  struct TCase {
    const char* iconv_name;
    const TSingleByteCodePage& code_page;
    std::set<int> undefined;
  };
  for (const TCase& code_page :
       {TCase{"CP852", Cp852(), {}}, TCase{"WINDOWS-1250", Windows1250(), {0x81, 0x83, 0x88, 0x90, 0x98}}}) {
    SCOPED_TRACE(code_page.iconv_name);
    std::set<int> undefined;
    for (int byte = 0; byte < 256; ++byte) {
      const std::string bytes(1, static_cast<char>(byte));
      const std::string utf8 = code_page.code_page.ToUtf8(bytes);
      const std::optional<std::string> expected = IconvToUtf8(code_page.iconv_name, bytes[0]);
      if (!expected) undefined.insert(byte);
      if (byte >= 0x80 && expected) {
        EXPECT_EQ(utf8, *expected) << "byte " << byte;
      }
      EXPECT_EQ(code_page.code_page.FromUtf8(utf8), bytes) << "byte " << byte;
      EXPECT_EQ(Utf8Length(utf8), 1u);
    }
    EXPECT_EQ(undefined, code_page.undefined);
  }
  // An undefined Windows-1250 byte reads as the control character of its number.
  EXPECT_EQ(Windows1250().ToUtf8("\x81"), "\xC2\x81");
  EXPECT_EQ(Windows1250().FromUtf8("a\xC3\xA0\xE2\x82\xAC\xF0\x9F\x98\x80z"), "a?\x80?z");  // à € 😀
}

TEST(DbfCodePage, Utf8ValidityFollowsTheWellFormedSequences) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("p\xC5\x99\x65\x64loha \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("p\xF8\x65\x64loha"));  // Windows-1250 "ř"
  EXPECT_FALSE(IsValidUtf8("\xC5"));               // cut short
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));       // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));       // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));   // past U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\x80"));               // lone continuation
}

TEST(DbfCodePage, CzechTextConvertsBothWays) {
  const std::string name = "Řehoř Žluťoučký ůň";
  const std::string oem = Utf8ToOem(name);
  EXPECT_EQ(oem.size(), Utf8Length(name));
  EXPECT_EQ(static_cast<unsigned char>(oem[0]), 0xFC);  // Ř
  EXPECT_EQ(OemToUtf8(oem), name);
  EXPECT_EQ(Utf8ToOem("Novak 12"), "Novak 12");
}

TEST(DbfCodePage, WhatCodePage852LacksOrIsNoUtf8BecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToOem("€ 日本 😀"), "? ?? ?");
  EXPECT_EQ(Utf8ToOem("a\xC3"), "a?");               // cut short
  EXPECT_EQ(Utf8ToOem("\x80x"), "?x");               // stray continuation
  EXPECT_EQ(Utf8ToOem("\xC0\xAF"), "??");            // overlong '/'
  EXPECT_EQ(Utf8ToOem("\xED\xA0\x80"), "???");       // surrogate
  EXPECT_EQ(Utf8ToOem("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
  EXPECT_EQ(Utf8ToOem("\xC3\xA1\xFF"), "\xA0?");     // á, then a byte UTF-8 never has
}

TEST(DbfCodePage, LengthAndLeftCountCharactersNotBytes) {
  const std::string name = "Novák";
  EXPECT_EQ(name.size(), 6u);
  EXPECT_EQ(Utf8Length(name), 5u);
  EXPECT_EQ(Utf8Left(name, 4), "Nová");
  EXPECT_EQ(Utf8Left(name, 3), "Nov");
  EXPECT_EQ(Utf8Left(name, 5), name);
  EXPECT_EQ(Utf8Left(name, 50), name);
  EXPECT_EQ(Utf8Left(name, 0), "");
  EXPECT_EQ(Utf8Length(""), 0u);
  EXPECT_EQ(Utf8DropLast(name, 1), "Nov\xC3\xA1");
  EXPECT_EQ(Utf8DropLast(name, 2), "Nov");
  EXPECT_EQ(Utf8DropLast(name, 9), "");
}

TEST(DbfCodePage, FileNamesCompareWithoutLetterCase) {
  EXPECT_TRUE(Utf8EqualIgnoringCase("VÝSLEDKY.DBF", "výsledky.dbf"));
  EXPECT_TRUE(Utf8EqualIgnoringCase("Řehoř_ŽĎŤŇĚŮ.dbf", "řEHOŘ_žďťňěů.DBF"));
  EXPECT_TRUE(Utf8EqualIgnoringCase("ŁĄĘŚŹŻ", "łąęśźż"));
  EXPECT_FALSE(Utf8EqualIgnoringCase("vysledky.dbf", "výsledky.dbf"));
  EXPECT_FALSE(Utf8EqualIgnoringCase("TABLE.DBF", "TABLE.DBF1"));
  EXPECT_FALSE(Utf8EqualIgnoringCase("a\xC3", "A?"));
  EXPECT_TRUE(Utf8EqualIgnoringCase("a\xC3", "A\xC3"));
}

}  // namespace
}  // namespace dbf
