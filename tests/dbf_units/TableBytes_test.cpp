// Tables written and read through the whole library stay what they were: the same
// records written through the field objects give the bytes stored under data/ (written
// by the library as it stood before its read and write paths were reworked), and the
// texts every field class reads from odd column bytes are the ones listed there.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfForeignFields.h"

namespace dbf {
namespace {

using filetest::ReadFileBytes;
using filetest::TBytes;
using filetest::TRawField;
using filetest::TRawTable;
using testing::DataSetOn;
using testing::ResultsTable;
using testing::TScratchFolder;

// The date of last update, offsets 1 to 3, is the day the table was written.
constexpr size_t kDateBytes[] = {1, 2, 3};
// The files under data/ were written before created tables carried the code-page mark
// of code page 852; every other byte stays as it was.
constexpr size_t kCodePageMarkAt = 29;
constexpr uint8_t kCodePage852Mark = 0x64;

std::string DataFile(const std::string& name) { return std::string(TEST_SOURCE_DIR) + "/dbf_units/data/" + name; }

TBytes WithoutDate(TBytes bytes) {
  for (const size_t at : kDateBytes) bytes.at(at) = 0;
  return bytes;
}

void ExpectSameBytes(const std::string& written, const std::string& expected_name) {
  const TBytes actual = WithoutDate(ReadFileBytes(written));
  TBytes expected = WithoutDate(ReadFileBytes(DataFile(expected_name)));
  ASSERT_EQ(expected.at(kCodePageMarkAt), 0);
  expected[kCodePageMarkAt] = kCodePage852Mark;
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    ASSERT_EQ(actual[i], expected[i]) << "first difference at byte " << i;
  }
}

// Each row: surname, first name, RC1, RC2, then the four counts and the two ratio texts
// written as integers and text, and the answer string.
struct TResultsRow {
  const char* texts[4];
  int32_t counts[4];
  const char* ratios[2];
  const char* answers;
};

constexpr TResultsRow kResultsRows[] = {
    {{"Novák", "Jan", "450101", "1234"}, {30, 0, 12, 9}, {" 0.40", " 0.30"}, "|1|2|3|4|5|6|7|8|9|10"},
    {{"Dvořáková", "Žofie", "556231", "0042"}, {25, 5, -5, 0}, {" 0.20", " 0.00"}, "|30|0|29|0"},
    {{"Šťastný-Příliš-Dlouhé", "  Řehoř", "1", ""}, {-1234, 99999, 999, -99}, {"1.25", "10.5"}, ""},
    {{"", "", "", ""}, {0, 1, 2, 3}, {"", "€?"}, "|99"},
};

void WriteResultsRow(TDbf& table, const TResultsRow& row) {
  for (int i = 0; i < 4; ++i) table.fieldAt(i).writeString(row.texts[i]);
  for (int i = 0; i < 4; ++i) table.fieldAt(4 + i).writeInteger(row.counts[i]);
  for (int i = 0; i < 2; ++i) table.fieldAt(8 + i).writeString(row.ratios[i]);
  table.fieldAt(10).writeString(row.answers);
}

TEST(TableBytes, ResultsTableWrittenThroughTheFieldsIsByteForByteAsBefore) {
  const TScratchFolder folder;
  const auto table = ResultsTable(folder, "RESULTS.DBF");
  table->createTable();
  table->open();
  for (const TResultsRow& row : kResultsRows) {
    table->startAppend();
    WriteResultsRow(*table, row);
    table->post();
  }
  table->moveFirst();
  table->moveNext();
  table->startEdit();
  table->fieldNamed("POC_CHYB").writeString(" -17");
  table->fieldNamed("ODPOVEDI").writeString(std::string(300, 'x'));
  table->post();
  table->moveLast();
  table->deleteRecord();
  table->close();
  ExpectSameBytes(folder / "RESULTS.DBF", "results_written.dbf");
}

// Every column type a table of ours can hold, as a descriptor read from a file sets it.
void AddForeignColumns(TDbfFieldDefs& defs) {
  filetest::AddColumn(defs, "NAME", 'C', 12);
  filetest::AddColumn(defs, "SMALL", 'N', 3);
  filetest::AddColumn(defs, "COUNT", 'N', 7);
  filetest::AddColumn(defs, "BIG", 'N', 18);
  filetest::AddColumn(defs, "AMOUNT", 'N', 10, 3);
  filetest::AddColumn(defs, "RATE", 'F', 8);
  filetest::AddColumn(defs, "BORN", 'D', 8);
  filetest::AddColumn(defs, "ACTIVE", 'L', 1);
}

// The texts of each record in field order; every field class takes its value as text.
const std::vector<std::vector<std::string>> kForeignRows = {
    {"Černá", "-99", "1234567", "-9007199254740993", "3.14159", "0.1", "2024-02-29", "T"},
    {"  ABC def  ", "0", "-1", "12345678901234", "-0.0005", "-12345.5", "1999-12-31", "n"},
    {"", "", "", "", "", "", "", ""},
    {"Ωmega ĚŠČŘ", "7", "0x1F", "$FF", "1e3", "1234567", "20010101", "y"},
};

TEST(TableBytes, TableOfEveryWritableColumnTypeIsByteForByteAsBefore) {
  const TScratchFolder folder;
  auto table = DataSetOn(folder, "FOREIGN.DBF");
  AddForeignColumns(table->FieldDefs());
  table->createTable();
  table->open();
  for (const auto& row : kForeignRows) {
    table->startAppend();
    for (size_t i = 0; i < row.size(); ++i) table->fieldAt(static_cast<int>(i)).writeString(row[i]);
    table->post();
  }
  table->moveFirst();
  table->startEdit();
  static_cast<TIntegerField&>(table->fieldNamed("COUNT")).writeInteger(-999999);
  static_cast<TFloatField&>(table->fieldNamed("RATE")).writeFloat(-0.75);
  table->post();
  table->close();
  ExpectSameBytes(folder / "FOREIGN.DBF", "foreign_written.dbf");
}

// Column bytes no program of ours writes: blanks and control characters around values,
// signs, numbers that do not parse or overflow, impossible dates, binary columns.
const std::vector<TRawField> kOddFields = {
    {"TEXT", 'C', 10}, {"SMALL", 'N', 4},  {"INT", 'N', 9},  {"BIG", 'N', 20}, {"AMOUNT", 'N', 9, 2},
    {"BORN", 'D', 8},  {"ACTIVE", 'L', 1}, {"ID", 'I', 4},   {"AUTO", '+', 4}, {"DOUBLE", 'O', 8},
    {"STAMP", '@', 8}, {"NOTE", 'M', 10},  {"WHAT", 'X', 3},
};

std::string Binary(std::initializer_list<int> bytes) {
  std::string text;
  for (const int byte : bytes) text += static_cast<char>(byte);
  return text;
}

const std::vector<std::string> kOddRecords = {
    " " + std::string("\t Novák\x01 ", 10) + "  +5" + "   -0    " + "9223372036854775807 " + "  +1.50  " + "20240229" +
        "t" + Binary({0x80, 0, 0, 1}) + Binary({0x7F, 0xFF, 0xFF, 0xFF}) + Binary({0xBF, 0xF0, 0, 0, 0, 0, 0, 0}) +
        Binary({0x42, 0xCC, 0xFF, 0x03, 0x8D, 0xC7, 0x7C, 0x00}) + "       123" + "abc",
    " " + std::string("\x82\xA0\xD8\xFD \0\0\0\0\0", 10) + "1 2 " + "12345678a" + "-9223372036854775809" + "1,5      " +
        "20230229" + "Y" + Binary({0, 0, 0, 0}) + Binary({0x80, 0, 0, 0}) +
        Binary({0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + Binary({0, 0, 0, 0, 0, 0, 0, 0}) + "          " +
        "   ",
    "*" + std::string(10, ' ') + "+-1 " + "  0x10   " + "  00000000000000042 " + "  1e2    " + "2024    " + " " +
        Binary({0x80, 0, 0, 0}) + Binary({0, 0, 0, 0}) + Binary({0x80, 0, 0, 0, 0, 0, 0, 0}) +
        Binary({0, 0, 0, 0, 0, 0, 0, 1}) + "        x " + "\x7F\x7F\x7F",
    " " + std::string("1234567890", 10) + "-0x1" + " 99999999" + "                   -" + "-12345.67" + "19" +
        "1231  " + "?" + Binary({0xFF, 0xFF, 0xFF, 0xFF}) + Binary({0x00, 0x00, 0x00, 0x01}) +
        Binary({0x7F, 0xEF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + Binary({0xC1, 0xD2, 0xDF, 0x6B, 0, 0, 0, 0}) +
        "0000000001" + "   ",
};

// Every field's readString, displayText and isNull, record by record, deleted ones too.
std::string ReadEveryField(TDbf& table) {
  std::ostringstream texts;
  for (table.moveFirst(); !table.atEof(); table.moveNext()) {
    texts << "record " << table.recordNumber() << (table.recordDeleted() ? " deleted" : "") << '\n';
    for (int i = 0; i < table.fieldCount(); ++i) {
      const TField& field = table.fieldAt(i);
      texts << "  " << field.FieldName() << " [" << field.readString() << "] [" << field.displayText() << "]"
            << (field.isNull() ? " null" : "") << '\n';
    }
  }
  return texts.str();
}

TEST(TableBytes, EveryFieldClassReadsOddColumnBytesAsBefore) {
  const TScratchFolder folder;
  const TRawTable raw{.fields = kOddFields, .records = kOddRecords};
  filetest::WriteFileBytes(folder / "ODD.DBF", raw.Bytes());
  auto table = DataSetOn(folder, "ODD.DBF");
  table->SetReadOnly(true);
  table->SetShowDeleted(true);
  table->open();
  const std::string texts = ReadEveryField(*table);
  table->close();
  std::ifstream expected_file(DataFile("odd_read.txt"), std::ios::binary);
  const std::string expected{std::istreambuf_iterator<char>(expected_file), std::istreambuf_iterator<char>()};
  EXPECT_EQ(texts, expected);
}

}  // namespace
}  // namespace dbf
