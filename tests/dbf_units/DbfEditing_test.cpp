// The edit cycle of a table dataset: where inserted and appended records go, what cancel
// and close discard, deleting visible records, leaving an edit by moving, read-only and
// required refusals, and failed writes that lose nothing the examiner entered.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "dbf.h"

namespace dbf {
namespace {

using testing::CurrentName;
using testing::DeclareField;
using testing::MessageOf;
using testing::NamesTable;
using testing::ResultsTable;
using testing::TRecordingLink;
using testing::TScratchFolder;

class EditingTest : public ::testing::Test {
 protected:
  void OpenNames(const std::vector<std::string>& names, const std::vector<std::string>& deleted = {}) {
    dbf_ = NamesTable(folder_, names, deleted);
    dbf_->open();
  }
  void MoveTo(const std::string& name) {
    dbf_->moveFirst();
    while (CurrentName(*dbf_) != name) ASSERT_EQ(dbf_->moveNext(), 1) << name;
  }
  // Every record in the file as "<deletion flag><NAME>", in physical order.
  std::vector<std::string> StoredRecords() const {
    const filetest::TBytes bytes = filetest::ReadFileBytes(folder_ / "NAMES.DBF");
    const THeaderPrefix prefix = ReadHeaderPrefix(bytes.data(), bytes.size());
    const auto header_length = static_cast<size_t>(prefix.header_length);
    const auto record_length = static_cast<size_t>(prefix.record_length);
    std::vector<std::string> records;
    for (size_t at = header_length; at + record_length <= bytes.size(); at += record_length) {
      std::string record(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + 11));
      records.push_back(record.substr(0, record.find_last_not_of(' ') + 1));
    }
    return records;
  }

  TScratchFolder folder_;
  std::unique_ptr<TDbf> dbf_;
};

TEST_F(EditingTest, InsertedRecordIsStoredAfterTheLastOne) {
  OpenNames({"Ann", "Bob", "Cyril", "Dana", "Eva"});
  MoveTo("Cyril");
  dbf_->startInsert();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateInsert);
  EXPECT_TRUE(dbf_->fieldNamed("NAME").isNull()) << "a new record is blank";
  dbf_->fieldNamed("NAME").writeString("Zoe");
  EXPECT_TRUE(dbf_->modified());
  dbf_->post();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  EXPECT_FALSE(dbf_->modified());
  EXPECT_EQ(CurrentName(*dbf_), "Zoe");
  EXPECT_EQ(dbf_->recordNumber(), 6);
  EXPECT_EQ(dbf_->recordCount(), 6);
  EXPECT_EQ(StoredRecords().back(), " Zoe") << "in the file at once";
}

TEST_F(EditingTest, CancelledOrClosedInsertWritesNothing) {
  OpenNames({"Ann", "Bob", "Cyril"});
  MoveTo("Bob");
  dbf_->startInsert();
  dbf_->fieldNamed("NAME").writeString("Zoe");
  dbf_->cancel();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(CurrentName(*dbf_), "Bob") << "the former current record is current again";
  EXPECT_EQ(dbf_->recordCount(), 3);

  dbf_->startAppend();
  dbf_->fieldNamed("NAME").writeString("Zoe");
  dbf_->close();
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Ann", " Bob", " Cyril"}));
  dbf_->cancel();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateInactive) << "cancel outside an edit does nothing";
}

TEST_F(EditingTest, DeletingMakesTheNextOrPreviousVisibleRecordCurrent) {
  OpenNames({"Ann", "Bob", "Cyril", "Dana"}, {"Cyril"});
  MoveTo("Bob");
  dbf_->deleteRecord();
  EXPECT_EQ(CurrentName(*dbf_), "Dana") << "hidden Cyril is skipped";
  dbf_->deleteRecord();
  EXPECT_EQ(CurrentName(*dbf_), "Ann") << "nothing visible after: the previous one";
  EXPECT_FALSE(dbf_->atEof());
  dbf_->deleteRecord();
  EXPECT_TRUE(dbf_->isEmpty());
  EXPECT_TRUE(dbf_->atBof());
  EXPECT_TRUE(dbf_->atEof());
  EXPECT_EQ(dbf_->recordCount(), 4) << "records are never removed";
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{"*Ann", "*Bob", "*Cyril", "*Dana"}));
}

TEST_F(EditingTest, DeleteWhileInsertingCancelsTheInsert) {
  OpenNames({"Ann"});
  dbf_->startInsert();
  dbf_->deleteRecord();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(CurrentName(*dbf_), "Ann");
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Ann"}));
}

TEST_F(EditingTest, EditPostsOverTheSameRecordAndCancelRestoresIt) {
  OpenNames({"Ann", "Bob", "Cyril"});
  MoveTo("Bob");
  dbf_->startEdit();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateEdit);
  dbf_->fieldNamed("NAME").writeString("Bobby");
  dbf_->startEdit();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateEdit) << "a second edit changes nothing";
  dbf_->post();
  EXPECT_EQ(dbf_->recordNumber(), 2);
  dbf_->startEdit();
  dbf_->fieldNamed("NAME").writeString("Robert");
  dbf_->cancel();
  EXPECT_EQ(CurrentName(*dbf_), "Bobby");
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Ann", " Bobby", " Cyril"}));
}

TEST_F(EditingTest, MovingAwayStoresAChangedRecordAndDropsAnUntouchedOne) {
  OpenNames({"Ann", "Bob"});
  dbf_->startEdit();
  dbf_->fieldNamed("NAME").writeString("Anna");
  dbf_->moveNext();
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(CurrentName(*dbf_), "Bob");

  dbf_->startInsert();
  dbf_->moveFirst();
  EXPECT_EQ(dbf_->recordCount(), 2) << "an untouched new record is cancelled";
  dbf_->startInsert();
  dbf_->fieldNamed("NAME").writeString("Cyril");
  dbf_->startInsert();
  EXPECT_EQ(dbf_->recordCount(), 3) << "the changed one was posted first";
  EXPECT_EQ(dbf_->state(), TDataSetState::StateInsert);
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Anna", " Bob", " Cyril"}));
}

TEST_F(EditingTest, AppendedRecordIsTheLastRowOfTheWindow) {
  OpenNames({"Ann", "Bob", "Cyril", "Dana"});
  TDataSource source;
  source.SetDataSet(dbf_.get());
  TRecordingLink grid;
  grid.SetBufferCount(3);
  grid.SetDataSource(&source);
  dbf_->startAppend();
  EXPECT_EQ(grid.Rows(), (std::vector<std::string>{"Cyril", "Dana", ""}));
  EXPECT_EQ(grid.ActiveRecord(), 2);
  EXPECT_FALSE(dbf_->atBof());
  dbf_->fieldNamed("NAME").writeString("Eva");
  dbf_->post();
  EXPECT_EQ(grid.Rows(), (std::vector<std::string>{"Cyril", "Dana", "Eva"}));
  EXPECT_EQ(dbf_->recordNumber(), 5);

  dbf_->moveFirst();
  dbf_->moveNext();
  dbf_->startInsert();
  EXPECT_EQ(grid.Rows(), (std::vector<std::string>{"Ann", "", "Bob"})) << "inserted at the current row";
  dbf_->fieldNamed("NAME").writeString("Fred");
  dbf_->post();
  EXPECT_EQ(grid.Rows(), (std::vector<std::string>{"Dana", "Eva", "Fred"}))
      << "stored as the last record, it is shown among the last ones";
  EXPECT_EQ(grid.ActiveRecord(), 2);
  EXPECT_EQ(dbf_->recordNumber(), 6);
}

TEST_F(EditingTest, ReadOnlyDatasetRefusesEveryChange) {
  NamesTable(folder_, {"Ann"});
  const filetest::TBytes before = filetest::ReadFileBytes(folder_ / "NAMES.DBF");
  dbf_ = testing::DataSetOn(folder_, "NAMES.DBF");
  dbf_->SetReadOnly(true);
  dbf_->open();
  EXPECT_FALSE(dbf_->canModify());
  EXPECT_EQ(dbf_->cannotModifyReason(), "Dbf2: Cannot modify a read-only dataset");
  EXPECT_EQ(MessageOf([&] { dbf_->SetReadOnly(false); }), "Dbf2: Cannot perform this operation on an open dataset");
  for (const auto& change :
       std::vector<std::function<void()>>{[&] { dbf_->startInsert(); }, [&] { dbf_->startAppend(); },
                                          [&] { dbf_->startEdit(); }, [&] { dbf_->deleteRecord(); }}) {
    EXPECT_EQ(MessageOf(change), "Dbf2: Cannot modify a read-only dataset");
    EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  }
  EXPECT_EQ(MessageOf([&] { dbf_->post(); }), "Dbf2: Dataset not in edit or insert mode");
  EXPECT_EQ(MessageOf([&] { dbf_->writeBack(); }), "Dbf2: Dataset not in edit or insert mode");
  dbf_->close();
  EXPECT_EQ(filetest::ReadFileBytes(folder_ / "NAMES.DBF"), before);
}

// Foreign tables whose stored lengths the type table changes: GDAL's real column N(24,15)
// reads as N(20,15), python3-dbf's F(10,2) as F(8). Written with the shorter layout, a
// record would shift every later field for the programs that made them.
TEST_F(EditingTest, TableWhoseFieldsDoNotFillItsRecordsIsReadButNeverWritten) {
  const filetest::TRawTable gdal{0x03,
                                 {{"NAME", 'C', 10}, {"REAL", 'N', 24, 15}, {"NUM", 'N', 9}},
                                 {" Ann       "
                                  "       1.250000000000000"
                                  "        7"}};
  const filetest::TRawTable pydbf{0x03,
                                  {{"NAME", 'C', 10}, {"F", 'F', 10, 2}, {"N", 'N', 6}},
                                  {" Ann       "
                                   "      1.50"
                                   "    12"}};
  for (const auto& [table, sizes] : {std::pair{gdal, "44 bytes, but its fields as read fill 40"},
                                     std::pair{pydbf, "27 bytes, but its fields as read fill 25"}}) {
    SCOPED_TRACE(sizes);
    filetest::WriteFileBytes(folder_ / "FOREIGN.DBF", table.Bytes());
    const filetest::TNoticeCapture notices;
    dbf_ = testing::DataSetOn(folder_, "FOREIGN.DBF");
    dbf_->open();
    EXPECT_EQ(notices.Notices().size(), 1u) << "Invalid Record Size";
    EXPECT_EQ(CurrentName(*dbf_), "Ann");
    // Known at open, so that bound controls ask for no edit.
    const std::string refusal = "Cannot write file " + folder_ / "FOREIGN.DBF" + ": its header gives records of " +
                                sizes + " (writing would shift the fields for every other reader)";
    EXPECT_FALSE(dbf_->canModify());
    EXPECT_EQ(dbf_->cannotModifyReason(), refusal);
    for (const auto& change :
         std::vector<std::function<void()>>{[&] { dbf_->startInsert(); }, [&] { dbf_->startAppend(); },
                                            [&] { dbf_->startEdit(); }, [&] { dbf_->deleteRecord(); }}) {
      EXPECT_EQ(MessageOf(change), refusal);
      EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
    }
    dbf_->close();
    EXPECT_EQ(filetest::ReadFileBytes(folder_ / "FOREIGN.DBF"), table.Bytes()) << "not even the header is written";
  }
}

TEST_F(EditingTest, RequiredFieldMustHaveAValue) {
  NamesTable(folder_, {"Ann"});
  dbf_ = testing::DataSetOn(folder_, "NAMES.DBF");
  DeclareField<TStringField>(*dbf_, "NAME", 10).SetRequired(true);
  TDataSource source;
  source.SetDataSet(dbf_.get());
  TRecordingLink edit;
  edit.SetDataSource(&source);
  dbf_->open();
  dbf_->startAppend();
  EXPECT_EQ(MessageOf([&] { dbf_->post(); }), "Field 'NAME' must have a value");
  EXPECT_EQ(dbf_->state(), TDataSetState::StateInsert);
  EXPECT_EQ(edit.Log().back(), "focus NAME") << "its control was asked to take the focus";
  dbf_->fieldNamed("NAME").writeString("Bob");
  dbf_->post();
  EXPECT_EQ(dbf_->recordCount(), 2);
}

TEST_F(EditingTest, FailedAppendKeepsTheNewRecordForAnotherTry) {
  OpenNames({"Ann"});
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  dbf_->close();
  dbf_->SetFileSeam(seam.Seam());
  dbf_->open();
  dbf_->startAppend();
  dbf_->fieldNamed("NAME").writeString("Bob");
  faults.failing_write = faults.writes + 1;
  EXPECT_THROW(dbf_->post(), EDbfFileError);
  EXPECT_EQ(dbf_->state(), TDataSetState::StateInsert);
  EXPECT_EQ(CurrentName(*dbf_), "Bob") << "what was entered is still there";
  EXPECT_EQ(dbf_->recordCount(), 1);
  dbf_->post();
  EXPECT_EQ(dbf_->recordCount(), 2);
  EXPECT_EQ(dbf_->recordNumber(), 2);
  dbf_->close();
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Ann", " Bob"}));
}

TEST_F(EditingTest, FailedWritesOfEditAndDeleteLeaveTheRecordAsItWas) {
  OpenNames({"Ann", "Bob"});
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  dbf_->close();
  dbf_->SetFileSeam(seam.Seam());
  dbf_->open();
  faults.failing_write = faults.writes + 1;
  EXPECT_THROW(dbf_->deleteRecord(), EDbfFileError);
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  dbf_->refresh();
  EXPECT_EQ(CurrentName(*dbf_), "Ann") << "still visible";

  dbf_->startEdit();
  dbf_->fieldNamed("NAME").writeString("Anna");
  faults.failing_write = faults.writes + 1;
  EXPECT_THROW(dbf_->post(), EDbfFileError);
  EXPECT_EQ(dbf_->state(), TDataSetState::StateEdit);
  EXPECT_EQ(CurrentName(*dbf_), "Anna");
  dbf_->post();
  dbf_->close();
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Anna", " Bob"}));
}

// An append is two writes, the record with the end marker and the header's count; an
// edit is one.
TEST_F(EditingTest, PostWritesTheRecordOnceAndDoesNotReadItBack) {
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults);
  OpenNames({"Ann", "Bob"});
  dbf_->startAppend();
  dbf_->fieldNamed("NAME").writeString("Cyril");
  const int writes_before_post = faults.writes;
  const int reads_before_post = faults.reads;
  // The one read per write is the look at the header's layout figures, which must be
  // those the table was opened with.
  dbf_->post();
  EXPECT_EQ(faults.writes, writes_before_post + 2);
  EXPECT_EQ(faults.reads, reads_before_post + 1);
  EXPECT_EQ(CurrentName(*dbf_), "Cyril");

  dbf_->startEdit();
  dbf_->fieldNamed("NAME").writeString("Cyrus");
  dbf_->post();
  EXPECT_EQ(faults.writes, writes_before_post + 3);
  EXPECT_EQ(faults.reads, reads_before_post + 2);
  dbf_->refresh();
  EXPECT_EQ(CurrentName(*dbf_), "Cyrus") << "what the window shows is what the file holds";
  EXPECT_EQ(StoredRecords(), (std::vector<std::string>{" Ann", " Bob", " Cyrus"}));
}

TEST_F(EditingTest, UnassignedBinaryColumnsOfANewRecordAreEmpty) {
  TDbf table;
  table.SetTableName(folder_.Folder() + "/BINARY.DBF");
  for (const auto& [name, letter] : {std::pair{"NAME", 'C'}, {"COUNT", 'I'}, {"WEIGHT", 'O'}}) {
    TDbfFieldDef& def = table.FieldDefs().Add();
    def.SetName(name);
    def.SetNativeFieldType(letter);
    def.SetSize(10);
  }
  table.open();
  table.startAppend();
  table.fieldNamed("NAME").writeString("Ann");
  table.post();

  EXPECT_TRUE(table.fieldNamed("COUNT").isNull());
  EXPECT_TRUE(table.fieldNamed("WEIGHT").isNull());
  table.close();
  const filetest::TBytes bytes = filetest::ReadFileBytes(folder_ / "BINARY.DBF");
  const auto header_length = static_cast<size_t>(ReadHeaderPrefix(bytes.data(), bytes.size()).header_length);
  const filetest::TBytes record(bytes.begin() + static_cast<long>(header_length),
                                bytes.begin() + static_cast<long>(header_length + 23));
  EXPECT_EQ(record, filetest::BytesOf(" Ann       " + std::string(12, '\0')));
}

TEST_F(EditingTest, ResultsRecordIsStoredThenEditedWithItsResults) {
  auto dbf = ResultsTable(folder_);
  dbf->open();
  dbf->startInsert();
  dbf->fieldNamed("PRIJMENI").writeString("Dvořák");
  dbf->fieldNamed("ODPOVEDI").writeString("|1|7|X");
  dbf->post();
  dbf->startEdit();
  dbf->fieldNamed("POC_SPR").writeInteger(2);
  dbf->fieldNamed("SUMA_AGR").writeInteger(-5);
  dbf->fieldNamed("POM_A_S").writeString(" 0.50");
  dbf->post();
  dbf->close();

  dbf->open();
  EXPECT_EQ(dbf->recordCount(), 1);
  EXPECT_EQ(dbf->fieldNamed("PRIJMENI").readString(), "Dvořák");
  EXPECT_EQ(dbf->fieldNamed("ODPOVEDI").readString(), "|1|7|X");
  EXPECT_EQ(dbf->fieldNamed("POC_SPR").readInteger(), 2);
  EXPECT_EQ(dbf->fieldNamed("SUMA_AGR").readInteger(), -5);
  EXPECT_EQ(dbf->fieldNamed("POM_A_S").readString(), "0.50");
  EXPECT_TRUE(dbf->fieldNamed("POC_CHYB").isNull());
  const filetest::TBytes bytes = filetest::ReadFileBytes(folder_ / "TARNI.DBF");
  EXPECT_EQ(bytes.size(), 385u + 321u + 1u);
  EXPECT_EQ(bytes[4], 1);
}

}  // namespace
}  // namespace dbf
