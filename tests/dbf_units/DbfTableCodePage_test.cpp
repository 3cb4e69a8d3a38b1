// The code page of a table: chosen by its mark or its .cpg file, with the fallback and
// its notice, and the text of its fields read and written in it.
#include "DbfTableCodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "DatasetTestSupport.h"

namespace dbf {
namespace {

using filetest::TNoticeCapture;
using filetest::TScratchFolder;

TEST(DbfTableCodePage, MarkOrCpgFileChoosesTheCodePageAndTheRestFallsBackTo852) {
  struct TCase {
    uint8_t mark;
    std::optional<std::string> cpg;
    const char* name;
    TCodePageSource source;
    std::string notice;
  };
  const TCase cases[] = {
      {0x00, std::nullopt, "CP852", TCodePageSource::Default, ""},
      {0x64, std::nullopt, "CP852", TCodePageSource::Mark, ""},
      {0x1F, std::nullopt, "CP852", TCodePageSource::Mark, ""},
      {0xC8, std::nullopt, "CP1250", TCodePageSource::Mark, ""},
      {0x03, std::nullopt, "CP1252", TCodePageSource::Mark, ""},
      {0x57, std::nullopt, "CP1252", TCodePageSource::Mark, ""},
      {0x65, std::nullopt, "CP866", TCodePageSource::Mark, ""},
      {0xC8, "UTF-8", "CP1250", TCodePageSource::Mark, ""},  // the mark decides
      {0x00, "UTF-8\r\n", "UTF-8", TCodePageSource::CpgFile, ""},
      {0x00, " utf8 ", "UTF-8", TCodePageSource::CpgFile, ""},
      {0x00, "CP1250", "CP1250", TCodePageSource::CpgFile, ""},
      {0x00, "1250", "CP1250", TCodePageSource::CpgFile, ""},
      {0x00, "ANSI 1251", "CP1251", TCodePageSource::CpgFile, ""},
      {0x00, "ISO-8859-2", "ISO-8859-2", TCodePageSource::CpgFile, ""},
      {0x00, "88591", "ISO-8859-1", TCodePageSource::CpgFile, ""},
      {0x00, "", "CP852", TCodePageSource::Default, "Unknown code page '' in the .cpg file of "},
      {0x00, "Klingon", "CP852", TCodePageSource::Default, "Unknown code page 'Klingon' in the .cpg file of "},
      {0x00, "932", "CP852", TCodePageSource::Default, "The .cpg file of "},
      {0xAB, std::nullopt, "CP852", TCodePageSource::Default,
       "Unknown code page mark 0xAB: the text fields are read in code page 852"},
      {0x7B, std::nullopt, "CP852", TCodePageSource::Default,
       "Code page mark 0x7B names CP932, which the library cannot convert (it converts single-byte code pages and "
       "UTF-8): the text fields are read in code page 852"},
      {0x68, std::nullopt, "CP852", TCodePageSource::Default, "Code page mark 0x68 names CP895, "},
  };
  const TScratchFolder folder;
  int number = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE("mark " + std::to_string(c.mark) + ", .cpg " + c.cpg.value_or("(none)"));
    const std::string table = folder / ("T" + std::to_string(++number) + ".dbf");
    if (c.cpg) std::ofstream(folder / ("T" + std::to_string(number) + ".cpg")) << *c.cpg;
    const TNoticeCapture notices;
    const TTableCodePage code_page = TableCodePage(c.mark, table);
    EXPECT_EQ(code_page.Name(), c.name);
    EXPECT_EQ(code_page.Source(), c.source);
    if (c.notice.empty()) {
      EXPECT_TRUE(notices.Notices().empty());
    } else {
      ASSERT_EQ(notices.Notices().size(), 1u);
      EXPECT_EQ(notices.Notices()[0].substr(0, c.notice.size()), c.notice);
    }
  }
}

TEST(DbfTableCodePage, TextGoesBothWaysAndWhatTheCodePageLacksIsRefusedOnlyInOtherProgramsTables) {
  struct TCase {
    uint8_t mark;
    const char* text;
    size_t width;
    std::string bytes;  // empty: refused
  };
  const TCase cases[] = {
      {0xC8, "Dvořáková", 20, "Dvo\xF8\xE1kov\xE1"},
      {0xC9, "Привет", 20, "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {0x65, "Привет", 20, "\x8F\xE0\xA8\xA2\xA5\xE2"},
      {0x03, "Müller", 4, "M\xFCll"},
      {0x03, "Dvořáková", 20, ""},
      {0x1F, "€", 20, ""},   // code page 852 in another program's table
      {0x64, "€", 20, "?"},  // ours
      {0x00, "日本", 20, "??"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " with mark " + std::to_string(c.mark));
    const TTableCodePage code_page = TableCodePage(c.mark, "/nonexistent/T.dbf");
    if (c.bytes.empty()) {
      EXPECT_THROW(code_page.Encode(c.text, c.width, "NAME"), EDatabaseError);
      continue;
    }
    EXPECT_EQ(code_page.Encode(c.text, c.width, "NAME"), c.bytes);
    if (c.bytes.find('?') == std::string::npos) {
      EXPECT_EQ(code_page.Decode(c.bytes), Utf8Left(c.text, c.width));
    }
  }
  std::string message;
  try {
    TableCodePage(0x03, "/nonexistent/T.dbf").Encode("Dvořáková", 20, "PRIJMENI");
  } catch (const EDatabaseError& error) {
    message = error.what();
  }
  EXPECT_EQ(message, "'ř' cannot be stored in field 'PRIJMENI': code page CP1252 of the table lacks it");
}

TEST(DbfTableCodePage, Utf8TableCutsBeforeACharacterThatWouldNotFitAndReadsStrayBytesAsQuestionMarks) {
  const TScratchFolder folder;
  std::ofstream(folder / "U.cpg") << "UTF-8";
  const TTableCodePage code_page = TableCodePage(0, folder / "U.dbf");
  EXPECT_EQ(code_page.Encode("Žluť", 6, "N"), "Žluť");
  EXPECT_EQ(code_page.Encode("Žluť", 5, "N"), "Žlu");
  EXPECT_EQ(code_page.Encode("Žluť", 1, "N"), "");
  EXPECT_THROW(code_page.Encode("a\xF8", 5, "N"), EDatabaseError);
  EXPECT_EQ(code_page.Decode("Dvo\xF8\xC3\xA1k"), "Dvo?ák");
}

// A table another program wrote in Windows-1250: its names read right, a new name goes in
// in Windows-1250, and a character Windows-1250 lacks is refused before anything changes.
TEST(DbfTableCodePage, DatasetReadsAndWritesAMarkedTableInItsCodePage) {
  const TScratchFolder folder;
  filetest::TRawTable raw{0x03, {{"PRIJMENI", 'C', 12}}, {" Dvo\xF8\xE1kov\xE1   "}};
  raw.code_page_mark = 0xC8;
  filetest::WriteFileBytes(folder / "W.DBF", raw.Bytes());
  const auto table = testing::DataSetOn(folder, "W.DBF");
  table->open();
  TField& name = table->fieldNamed("PRIJMENI");
  EXPECT_EQ(name.readString(), "Dvořáková");
  table->startAppend();
  name.writeString("Šťastný");
  EXPECT_THROW(name.writeString("Ŵales"), EDatabaseError);
  table->post();
  table->close();
  const filetest::TBytes bytes = filetest::ReadFileBytes(folder / "W.DBF");
  EXPECT_EQ(std::string(bytes.end() - 14, bytes.end() - 1), " \x8A\x9D\x61stn\xFD     ");
}

}  // namespace
}  // namespace dbf
