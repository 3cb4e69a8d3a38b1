// The physical-order cursor: its position rules at both ends of the table, and the file
// reference that keeps a table file open while any cursor holds it.
#include "UDbfCursor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "DatasetTestSupport.h"
#include "UDbfFile.h"

namespace dbf {
namespace {

using testing::TScratchFolder;

class CursorTest : public ::testing::Test {
 protected:
  // A table of `count` records, held by `cursor_`.
  void MakeTable(int count) {
    path_ = folder_ / "CURSOR.DBF";
    bool made = false;
    std::shared_ptr<TDbfFile> file = TDbfFile::OpenShared(path_, {.creation = TCreation::Replace}, made);
    cursor_ = std::make_unique<TDbfCursor>(file);
    TDbfFieldDefs defs;
    defs.Add("NAME", TFieldType::ftString, 4, false);
    file->FormatTable(defs);
    for (int i = 0; i < count; ++i) Append();
  }
  void Append() {
    const std::vector<uint8_t> record(static_cast<size_t>(cursor_->File().RecordSize()), ' ');
    cursor_->File().StoreRecord(cursor_->File().RecordCount() + 1, record.data());
  }

  TScratchFolder folder_;
  std::string path_;
  std::unique_ptr<TDbfCursor> cursor_;
};

TEST_F(CursorTest, MovesForwardUpToOnePastTheLastRecord) {
  MakeTable(3);
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 0);
  for (int expected = 1; expected <= 3; ++expected) {
    EXPECT_TRUE(cursor_->MoveNext());
    EXPECT_EQ(cursor_->PhysicalRecordNumber(), expected);
  }
  EXPECT_FALSE(cursor_->MoveNext());
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 4);
  EXPECT_FALSE(cursor_->MoveNext());
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 4) << "never past n + 1";

  cursor_->GotoBookmark(9);
  EXPECT_FALSE(cursor_->MoveNext());
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 4) << "a position beyond the end comes back to n + 1";
}

TEST_F(CursorTest, MovesBackwardDownToBeforeTheFirstRecord) {
  MakeTable(2);
  cursor_->MoveLast();
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 3);
  EXPECT_TRUE(cursor_->MovePrior());
  EXPECT_TRUE(cursor_->MovePrior());
  EXPECT_EQ(cursor_->SequentialRecordNumber(), 1);
  EXPECT_FALSE(cursor_->MovePrior());
  EXPECT_FALSE(cursor_->MovePrior());
  EXPECT_EQ(cursor_->Bookmark(), 0);
}

TEST_F(CursorTest, EmptyTableHasOnlyTheStartPosition) {
  MakeTable(0);
  cursor_->MoveLast();
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 0);
  EXPECT_FALSE(cursor_->MoveNext());
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 1);
  EXPECT_EQ(cursor_->RecordCount(), 0);
}

TEST_F(CursorTest, FollowsTheCountOfTheFileAndStandsOnAnAppendedRecord) {
  MakeTable(2);
  cursor_->MoveFirst();
  Append();
  EXPECT_EQ(cursor_->RecordCount(), 3);
  cursor_->InsertKey(3, nullptr);
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 3);
  cursor_->SetSequentialRecordNumber(2);
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 2);
  cursor_->UpdateKey(2, nullptr, nullptr);
  EXPECT_EQ(cursor_->PhysicalRecordNumber(), 2);
}

TEST_F(CursorTest, TheLastCursorClosesTheFile) {
  MakeTable(1);
  bool made = false;
  auto shared = TDbfFile::OpenShared(path_, {.creation = TCreation::OpenExisting}, made);
  EXPECT_FALSE(made) << "the cursor's file object is shared";
  TDbfFile& file = cursor_->File();
  auto second = std::make_unique<TDbfCursor>(std::move(shared));
  EXPECT_EQ(&second->File(), &file);
  cursor_.reset();
  ASSERT_EQ(TPagedFile::FindOpenFile(path_), &file) << "still held by the second cursor";
  EXPECT_EQ(second->RecordCount(), 1);
  second.reset();
  EXPECT_EQ(TPagedFile::FindOpenFile(path_), nullptr);
}

}  // namespace
}  // namespace dbf
