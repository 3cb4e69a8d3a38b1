// `dbftool info`: the figures, fields and warnings of a table in text and JSON, read-only,
// and the figures and error of a table the library refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "FileLayerTestSupport.h"
#include "UDbfFile.h"

namespace dbf {
namespace {

using filetest::ReadFileBytes;
using filetest::TRawTable;
using filetest::TScratchFolder;
using filetest::WriteFileBytes;

struct TRun {
  int status;
  std::string out;
  std::string err;
};

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs dbftool in `folder` with the arguments, which must need no quoting.
TRun RunTool(const TScratchFolder& folder, const std::string& arguments) {
  const std::string command = "cd '" + folder.Folder() + "' && '" DBFTOOL_PATH "' " + arguments + " > '" +
                              folder / "out.txt" + "' 2> '" + folder / "err.txt" + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileText(folder / "out.txt"), FileText(folder / "err.txt")};
}

void CreateResultsTable(const std::string& name) {
  TDbfFieldDefs schema;
  filetest::AddResultsSchema(schema);
  TDbfFile table(name, {.creation = TCreation::Replace});
  table.FormatTable(schema);
}

TEST(DbftoolInfo, CreatedResultsTableAsJson) {
  const TScratchFolder folder;
  CreateResultsTable(folder / "VYSLEDKY.DBF");
  const auto before = ReadFileBytes(folder / "VYSLEDKY.DBF");
  const TRun run = RunTool(folder, "info VYSLEDKY.DBF --json");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::string fields;
  for (const auto& [name, letter, length, type] : {std::tuple{"PRIJMENI", "C", 15, "ftString"},
                                                   {"JMENO", "C", 15, "ftString"},
                                                   {"RC1", "C", 6, "ftString"},
                                                   {"RC2", "C", 4, "ftString"},
                                                   {"POC_SPR", "N", 5, "ftInteger"},
                                                   {"POC_CHYB", "N", 5, "ftInteger"},
                                                   {"SUMA_AGR", "N", 3, "ftSmallint"},
                                                   {"SUMA_SM", "N", 3, "ftSmallint"},
                                                   {"POM_A_S", "C", 5, "ftString"},
                                                   {"POM_S_S", "C", 5, "ftString"},
                                                   {"ODPOVEDI", "C", 254, "ftString"}}) {
    fields += std::string(fields.empty() ? "" : ", ") + "{\"name\": \"" + name + "\", \"letter\": \"" + letter +
              "\", \"length\": " + std::to_string(length) + ", \"decimals\": 0, \"type\": \"" + type + "\"}";
  }
  EXPECT_EQ(run.out,
            "{\"version\": 3, \"level\": 3, \"header_length\": 385, \"record_length\": 321, "
            "\"header_record_count\": 0, \"record_count\": 0, \"layout\": \"short\", \"code_page\": \"CP852\", "
            "\"code_page_source\": \"mark\", \"code_page_mark\": 100, \"fields\": [" +
                fields + "], \"warnings\": []}\n");
  EXPECT_EQ(ReadFileBytes(folder / "VYSLEDKY.DBF"), before);
}

TEST(DbftoolInfo, TextFormShowsFiguresFieldsAndWarningsOfARelativeFile) {
  const TScratchFolder folder;
  TRawTable raw{0x04, {{"nazev", 'C', 4}, {"", 'Q', 3, 1}}, std::vector<std::string>(12, " abcdxyz")};
  raw.record_count = 10;
  std::filesystem::create_directory(folder / "data");
  WriteFileBytes(folder / "data/table.dbf", raw.Bytes());
  const TRun run = RunTool(folder, "info ./data/../data/table.dbf");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("File:                     " + folder / "data/table.dbf\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Version byte:             0x04 (4)\nFormat level:             5\n"
                         "Layout:                   long\nCode page:                CP852 (default)\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("Record count (header):    10\nRecord count (file size): 12\n"), std::string::npos);
  EXPECT_NE(run.out.find("NAZEV"), std::string::npos);
  EXPECT_NE(run.out.find("ftUnknown"), std::string::npos);
  EXPECT_NE(run.out.find("Warnings:                 1\n  Invalid Record Count,\n    RecordCount in Hdr : 10\n"
                         "    expected : 12\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(ReadFileBytes(folder / "data/table.dbf"), raw.Bytes());
}

TEST(DbftoolInfo, DamagedTablesShowTheirWarningsOrTheirPrefixAndError) {
  const TScratchFolder folder;
  TRawTable wide{0x03, {{"WIDE", 'C', 255}}, {" " + std::string(255, 'w')}};
  WriteFileBytes(folder / "wide.dbf", wide.Bytes());
  TRun run = RunTool(folder, "info --json wide.dbf");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\"fields\": [{\"name\": \"WIDE\", \"letter\": \"C\", \"length\": 254, \"decimals\": 0, "
                         "\"type\": \"ftString\"}], \"warnings\": [\"Invalid Record Size,\\rRecord Size in Hdr : "
                         "256\\rExpected : 255\"]}"),
            std::string::npos)
      << run.out;

  TRawTable no_header{0x03, {{"A", 'C', 1}}, {" a", " b"}};
  no_header.header_length = 0;
  WriteFileBytes(folder / "broken.dbf", no_header.Bytes());
  run = RunTool(folder, "info broken.dbf --json");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Invalid field count : -1 (must be between 1 and 4095)\n");
  EXPECT_EQ(run.out,
            "{\"version\": 3, \"level\": 3, \"header_length\": 0, \"record_length\": 2, "
            "\"header_record_count\": 2, \"record_count\": 35, \"fields\": [], \"warnings\": [], "
            "\"error\": \"Invalid field count : -1 (must be between 1 and 4095)\"}\n");
  EXPECT_EQ(ReadFileBytes(folder / "broken.dbf"), no_header.Bytes());
}

TEST(DbftoolInfo, CommandLineMistakesAndMissingFilesExitWithOne) {
  const TScratchFolder folder;
  TRun run = RunTool(folder, "info missing.dbf");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Open: Table file not found : " + folder / "missing.dbf" + "\n");
  run = RunTool(folder, "info");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Usage: dbftool info FILE [--json]"), std::string::npos);
  EXPECT_EQ(RunTool(folder, "info a.dbf --csv").status, 1);
  EXPECT_EQ(RunTool(folder, "info a.dbf b.dbf").status, 1);
  EXPECT_EQ(RunTool(folder, "frobnicate").status, 1);
  run = RunTool(folder, "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("dbftool info FILE [--json]"), std::string::npos);
}

}  // namespace
}  // namespace dbf
