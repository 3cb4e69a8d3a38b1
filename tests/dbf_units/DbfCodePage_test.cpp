// Code page 852 against glibc's converter, and the UTF-8 helpers.
#include "DbfCodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace dbf {
namespace {

// One code page 852 byte as glibc's iconv converts it to UTF-8.
std::string IconvCp852ToUtf8(char byte) {
  iconv_t converter = iconv_open("UTF-8", "CP852");
  if (converter == reinterpret_cast<iconv_t>(-1)) converter = iconv_open("UTF-8", "IBM852");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "";
  char in[1] = {byte};
  char out[8] = {};
  char* in_at = in;
  char* out_at = out;
  size_t in_left = 1;
  size_t out_left = sizeof out;
  iconv(converter, &in_at, &in_left, &out_at, &out_left);
  iconv_close(converter);
  return std::string(out, out_at);
}

TEST(DbfCodePage, HighHalfMatchesGlibcAndEveryByteComesBack) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string oem(1, static_cast<char>(byte));
    const std::string utf8 = OemToUtf8(oem);
    if (byte >= 0x80) {
      EXPECT_EQ(utf8, IconvCp852ToUtf8(static_cast<char>(byte))) << "byte " << byte;
    }
    EXPECT_EQ(Utf8ToOem(utf8), oem) << "byte " << byte;
    EXPECT_EQ(Utf8Length(utf8), 1u);
  }
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
  EXPECT_EQ(Utf8ToOem("a\xC3"), "a?");                // cut short
  EXPECT_EQ(Utf8ToOem("\x80x"), "?x");                // stray continuation
  EXPECT_EQ(Utf8ToOem("\xC0\xAF"), "??");             // overlong '/'
  EXPECT_EQ(Utf8ToOem("\xED\xA0\x80"), "???");        // surrogate
  EXPECT_EQ(Utf8ToOem("\xF4\x90\x80\x80"), "????");   // beyond U+10FFFF
  EXPECT_EQ(Utf8ToOem("\xC3\xA1\xFF"), "\xA0?");      // á, then a byte UTF-8 never has
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
