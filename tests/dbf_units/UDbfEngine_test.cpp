// The table file engine of one dataset: opening and creating through the shared
// registry, fetching over hidden records, appends that fail without losing count or
// position, and the dataset's copies of the column definitions.
#include "UDbfEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfErrors.h"
#include "UDbfFile.h"

namespace dbf {
namespace {

using filetest::TRawTable;
using filetest::TScratchFolder;

class EngineTest : public ::testing::Test {
 protected:
  // A table NAME C4 holding `records` (deletion flag first), at path_.
  void WriteTable(const std::vector<std::string>& records) {
    TRawTable table;
    table.fields = {{"NAME", 'C', 4}};
    table.records = records;
    filetest::WriteFileBytes(path_, table.Bytes());
  }
  void OpenExisting(TDbfEngine& engine, bool read_only = false) { engine.Open(defs_, path_, {.read_only = read_only}); }
  // Record numbers fetched in `mode` until a fetch fails; `last` receives that result.
  std::vector<int32_t> FetchAll(TDbfEngine& engine, TFetchMode mode, bool show_deleted, TFetchResult& last) {
    std::vector<int32_t> numbers;
    std::vector<uint8_t> buffer(static_cast<size_t>(engine.RecordSize()));
    while ((last = engine.FetchRecord(buffer, mode, show_deleted)) == TFetchResult::FetchOk) {
      numbers.push_back(engine.CurrentCursor().PhysicalRecordNumber());
    }
    return numbers;
  }
  std::string Fetched(TDbfEngine& engine, TFetchMode mode, bool show_deleted = false) {
    std::vector<uint8_t> buffer(static_cast<size_t>(engine.RecordSize()), '.');
    const TFetchResult result = engine.FetchRecord(buffer, mode, show_deleted);
    return (result == TFetchResult::FetchOk ? "ok " : "failed ") + std::string(buffer.begin(), buffer.end());
  }

  TScratchFolder folder_;
  std::string path_ = folder_ / "ENGINE.DBF";
  TDbfFieldDefs defs_;
};

TEST_F(EngineTest, FetchWalksOverHiddenRecordsInBothDirections) {
  WriteTable({" AAAA", "*BBBB", " CCCC", "*DDDD", " EEEE"});
  TDbfEngine engine;
  OpenExisting(engine);
  TFetchResult last;
  EXPECT_EQ(FetchAll(engine, TFetchMode::FetchNext, false, last), (std::vector<int32_t>{1, 3, 5}));
  EXPECT_EQ(last, TFetchResult::FetchEof);
  EXPECT_EQ(engine.CurrentCursor().PhysicalRecordNumber(), 6);
  EXPECT_EQ(FetchAll(engine, TFetchMode::FetchPrior, false, last), (std::vector<int32_t>{5, 3, 1}));
  EXPECT_EQ(last, TFetchResult::FetchBof);
  EXPECT_EQ(engine.CurrentCursor().PhysicalRecordNumber(), 0);
  EXPECT_EQ(FetchAll(engine, TFetchMode::FetchNext, true, last), (std::vector<int32_t>{1, 2, 3, 4, 5}));
}

TEST_F(EngineTest, FetchCurrentOfAHiddenOrMissingRecordFailsAndKeepsTheBuffer) {
  WriteTable({" AAAA", "*BBBB"});
  TDbfEngine engine;
  OpenExisting(engine);
  engine.CurrentCursor().GotoBookmark(1);
  EXPECT_EQ(Fetched(engine, TFetchMode::FetchCurrent), "ok  AAAA");
  engine.CurrentCursor().GotoBookmark(2);
  EXPECT_EQ(Fetched(engine, TFetchMode::FetchCurrent), "failed .....");
  EXPECT_EQ(Fetched(engine, TFetchMode::FetchCurrent, true), "ok *BBBB");
  engine.CurrentCursor().GotoBookmark(7);
  EXPECT_EQ(Fetched(engine, TFetchMode::FetchCurrent, true), "failed .....");
  engine.CurrentCursor().GotoBookmark(1);
  EXPECT_EQ(Fetched(engine, TFetchMode::FetchNext), "failed .....") << "the hidden last record ends the table";
}

TEST_F(EngineTest, EmptyTableFetchesNothing) {
  WriteTable({});
  TDbfEngine engine;
  OpenExisting(engine);
  for (const TFetchMode mode : {TFetchMode::FetchNext, TFetchMode::FetchPrior, TFetchMode::FetchCurrent}) {
    std::vector<uint8_t> buffer(5);
    EXPECT_EQ(engine.FetchRecord(buffer, mode, true), TFetchResult::FetchEof);
  }
}

TEST_F(EngineTest, MissingTableIsCreatedFromTheDefinitionsOnlyWhenAllowed) {
  filetest::AddResultsSchema(defs_);
  TDbfEngine engine;
  try {
    engine.Open(defs_, path_, {.creation = TCreation::OpenExisting});
    FAIL() << "a missing table opened";
  } catch (const EDbfFileError& error) {
    EXPECT_EQ(error.what(), "Open: Table file not found : " + path_);
  }
  EXPECT_FALSE(engine.Active());
  EXPECT_EQ(engine.RecordSize(), 0);
  EXPECT_EQ(TPagedFile::FindOpenFile(path_), nullptr);

  engine.Open(defs_, path_, {.creation = TCreation::CreateIfMissing});
  EXPECT_EQ(engine.RecordSize(), 321);
  EXPECT_EQ(defs_.Count(), 11);
  engine.Close();
  const filetest::TBytes bytes = filetest::ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 386u);
  EXPECT_EQ(bytes[384], 0x0D);
  EXPECT_EQ(bytes[385], 0x1A);
  EXPECT_EQ(TPagedFile::FindOpenFile(path_), nullptr);
}

TEST_F(EngineTest, FailedOpenLeavesNothingInTheRegistry) {
  TRawTable table;
  table.fields = {{"NAME", 'C', 4}};
  table.header_length = 10;
  filetest::WriteFileBytes(path_, table.Bytes());
  TDbfEngine engine;
  EXPECT_THROW(OpenExisting(engine), EDbfFileError);
  EXPECT_FALSE(engine.Active());
  EXPECT_EQ(TPagedFile::FindOpenFile(path_), nullptr);
}

TEST_F(EngineTest, TwoEnginesShareOneFileAndItsRecords) {
  defs_.Add("NAME", TFieldType::ftString, 4, false);
  TDbfEngine first;
  first.Open(defs_, path_, {.creation = TCreation::CreateIfMissing});
  const std::vector<uint8_t> record = {' ', 'A', 'B', 'C', 'D'};
  first.StoreNewRecord(record.data());

  TDbfFieldDefs second_defs;
  TDbfEngine second;
  second.Open(second_defs, path_, {.creation = TCreation::CreateIfMissing});
  EXPECT_EQ(&second.File(), &first.File());
  EXPECT_EQ(second.RecordCount(), 1) << "a file another dataset created is not formatted again";
  second.File().CopyFieldDefs(second_defs);
  EXPECT_EQ(second_defs.Count(), 1);

  first.Close();
  EXPECT_EQ(Fetched(second, TFetchMode::FetchNext), "ok  ABCD");
  second.StoreNewRecord(record.data());
  second.Close();
  EXPECT_EQ(TPagedFile::FindOpenFile(path_), nullptr);
  const filetest::TBytes bytes = filetest::ReadFileBytes(path_);
  EXPECT_EQ(bytes[4], 2) << "the last close wrote the count";
  EXPECT_EQ(bytes.back(), 0x1A);
}

TEST_F(EngineTest, FailedAppendKeepsCountAndCursor) {
  WriteTable({" AAAA", " BBBB"});
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  TDbfEngine engine;
  engine.Open(defs_, path_, {.creation = TCreation::OpenExisting, .seam = seam.Seam()});
  engine.CurrentCursor().GotoBookmark(1);
  const std::vector<uint8_t> record = {' ', 'N', 'E', 'W', ' '};
  faults.failing_write = faults.writes + 1;
  EXPECT_THROW(engine.StoreNewRecord(record.data()), EDbfFileError);
  EXPECT_EQ(engine.RecordCount(), 2);
  EXPECT_EQ(engine.CurrentCursor().PhysicalRecordNumber(), 1);

  engine.StoreNewRecord(record.data());
  EXPECT_EQ(engine.RecordCount(), 3);
  EXPECT_EQ(engine.CurrentCursor().PhysicalRecordNumber(), 3);
}

TEST_F(EngineTest, RewritesOnlyTheRecordTheCursorStandsOn) {
  WriteTable({" AAAA", " BBBB"});
  TDbfEngine engine;
  OpenExisting(engine);
  const std::vector<uint8_t> record = {'*', 'B', 'B', 'B', ' '};
  EXPECT_THROW(engine.StoreCurrentRecord(record.data()), EDbfEngineError) << "before the first";
  engine.CurrentCursor().GotoBookmark(2);
  engine.StoreCurrentRecord(record.data());
  EXPECT_EQ(engine.RecordCount(), 2);
  EXPECT_EQ(Fetched(engine, TFetchMode::FetchCurrent, true), "ok *BBB ");
}

TEST_F(EngineTest, AppendAdvancesTheCountersOfTheLongLayout) {
  TRawTable table;
  table.version = 0x30;
  table.fields = {{"ID", '+', 4, 0, 5}, {"NAME", 'C', 4}};
  filetest::WriteFileBytes(path_, table.Bytes());
  TDbfEngine engine;
  OpenExisting(engine);
  const std::vector<uint8_t> record(9, ' ');
  engine.StoreNewRecord(record.data());
  EXPECT_EQ(engine.File().FieldDefs().Items(0).AutoIncValue(), 6);
}

TEST_F(EngineTest, ReadOnlyOpenAndCloseLeaveTheFileAsItWas) {
  TRawTable table;
  table.fields = {{"NAME", 'C', 4}};
  table.records = {" AAAA", " BBBB", " CCCC"};
  table.record_count = 2;
  table.end_marker = false;
  filetest::WriteFileBytes(path_, table.Bytes());
  const filetest::TBytes before = filetest::ReadFileBytes(path_);
  filetest::TNoticeCapture notices;
  TDbfEngine engine;
  OpenExisting(engine, true);
  EXPECT_EQ(engine.RecordCount(), 3);
  engine.Close();
  EXPECT_EQ(filetest::ReadFileBytes(path_), before);
}

TEST_F(EngineTest, DatasetCopiesTakeTheirLetterFromTheFieldType) {
  TRawTable table;
  table.fields = {{"COUNT", 'N', 5}, {"RATIO", 'N', 8, 2}, {"SCORE", 'O', 8},
                  {"ID", 'I', 4},    {"NAME", 'C', 20},    {"ODD", 'X', 3}};
  filetest::WriteFileBytes(path_, table.Bytes());
  TDbfEngine engine;
  OpenExisting(engine);
  std::vector<TColumnDef> columns;
  engine.FillFieldDefs(defs_, columns);
  struct TExpected {
    TFieldType type;
    char letter;
    int32_t size;
    int32_t column_size;
  };
  const TExpected expected[] = {{TFieldType::ftInteger, 'N', 5, 0},  {TFieldType::ftFloat, 'F', 8, 0},
                                {TFieldType::ftFloat, 'F', 8, 0},    {TFieldType::ftInteger, 'N', 4, 0},
                                {TFieldType::ftString, 'C', 20, 20}, {TFieldType::ftUnknown, '\0', 3, 0}};
  ASSERT_EQ(defs_.Count(), 6);
  ASSERT_EQ(columns.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(defs_.Items(i).FieldType(), expected[i].type) << i;
    EXPECT_EQ(defs_.Items(i).NativeFieldType(), expected[i].letter) << i;
    EXPECT_EQ(defs_.Items(i).Size(), expected[i].size) << i;
    EXPECT_EQ(columns[static_cast<size_t>(i)].name, defs_.Items(i).Name());
    EXPECT_EQ(columns[static_cast<size_t>(i)].field_type, expected[i].type) << i;
    EXPECT_EQ(columns[static_cast<size_t>(i)].size, expected[i].column_size) << i;
  }
}

}  // namespace
}  // namespace dbf
