// The code page of a table: the names of .cpg files, the fallback to 852 with its notice,
// the code pages built from iconv, the refusal of what a code page lacks and UTF-8. Tables that peers mark are read and
// written in tests/dbftool/PeerTables_test.py.
#include "DbfTableCodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "FileLayerTestSupport.h"

namespace dbf {
namespace {

using filetest::TNoticeCapture;
using filetest::TScratchFolder;

const char kNoFile[] = "/nonexistent/T.dbf";

TEST(DbfTableCodePage, CpgNamesAndWhatTheLibraryCannotUseFallingBackTo852WithANotice) {
  struct TCase {
    uint8_t mark;
    const char* cpg;  // null: none
    const char* name;
    std::string notice;
  };
  const TCase cases[] = {
      {0x65, nullptr, "CP866", ""},
      {0xC8, "UTF-8", "CP1250", ""},  // the mark decides
      {0x00, " utf8\r\n", "UTF-8", ""},
      {0x00, "ANSI 1251", "CP1251", ""},
      {0x00, "88592", "ISO-8859-2", ""},
      {0x00, "Klingon", "CP852", "Unknown code page 'Klingon' in the .cpg file of "},
      {0x00, "932", "CP852", "The .cpg file of "},
      {0xAB, nullptr, "CP852", "Unknown code page mark 0xAB: the text fields are read in code page 852"},
      {0x7B, nullptr, "CP852",
       "Code page mark 0x7B names CP932, which the library cannot convert (it converts single-byte code pages and "
       "UTF-8): the text fields are read in code page 852"},
  };
  const TScratchFolder folder;
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + (c.cpg ? c.cpg : ""));
    std::ofstream(folder / "T.cpg") << (c.cpg ? c.cpg : "");
    if (c.cpg == nullptr) std::remove((folder / "T.cpg").c_str());
    const TNoticeCapture notices;
    EXPECT_EQ(TableCodePage(c.mark, folder / "T.dbf").Name(), c.name);
    ASSERT_EQ(notices.Notices().size(), c.notice.empty() ? 0u : 1u);
    for (const std::string& notice : notices.Notices()) EXPECT_EQ(notice.substr(0, c.notice.size()), c.notice);
  }
}

// A UTF-8 table's cut never splits a character; its stray bytes read as '?'.
TEST(DbfTableCodePage, WhatTheCodePageLacksIsRefusedInOtherProgramsTablesAndAQuestionMarkInOurs) {
  EXPECT_EQ(TableCodePage(0x64, kNoFile).Encode("Ž€", 5, "N"), "\xA6?");
  EXPECT_THROW(TableCodePage(0x1F, kNoFile).Encode("Ž€", 5, "N"), EDatabaseError);
  EXPECT_EQ(TableCodePage(0x65, kNoFile).Encode("Привет", 4, "N"), "\x8F\xE0\xA8\xA2");
  EXPECT_EQ(TableCodePage(0xC9, kNoFile).Decode("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
  const TScratchFolder folder;
  std::ofstream(folder / "U.cpg") << "UTF-8";
  const TTableCodePage utf8 = TableCodePage(0, folder / "U.dbf");
  EXPECT_EQ(utf8.Encode("Žluť", 6, "N"), "Žluť");
  EXPECT_EQ(utf8.Encode("Žluť", 5, "N"), "Žlu");
  EXPECT_THROW(utf8.Encode("a\xF8", 5, "N"), EDatabaseError);
  EXPECT_EQ(utf8.Decode("Dvo\xF8\xC3\xA1k"), "Dvo?ák");
}

}  // namespace
}  // namespace dbf
