// Moving through a table dataset: the empty and the all-deleted table, the BOF and EOF
// flags at both ends, hidden records, positioning by record number, and how a
// multi-row window scrolls under a control that shows three rows.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "dbf.h"

namespace dbf {
namespace {

using testing::CurrentName;
using testing::MessageOf;
using testing::NamesTable;
using testing::ResultsTable;
using testing::TRecordingLink;
using testing::TScratchFolder;

class NavigationTest : public ::testing::Test {
 protected:
  std::unique_ptr<TDbf> OpenNames(const std::vector<std::string>& names, const std::vector<std::string>& deleted = {}) {
    auto dbf = NamesTable(folder_, names, deleted);
    dbf->open();
    return dbf;
  }

  TScratchFolder folder_;
};

TEST_F(NavigationTest, EmptyTableHasNoCurrentRecord) {
  auto dbf = ResultsTable(folder_);
  dbf->open();
  EXPECT_TRUE(dbf->isEmpty());
  EXPECT_TRUE(dbf->atBof());
  EXPECT_TRUE(dbf->atEof());
  for (int i = 0; i < dbf->fieldCount(); ++i) {
    EXPECT_TRUE(dbf->fieldAt(i).isNull());
    EXPECT_EQ(dbf->fieldAt(i).readString(), "");
  }
  EXPECT_EQ(dbf->fieldNamed("POC_SPR").readInteger(), 0);
  EXPECT_EQ(dbf->moveNext(), 0);
  EXPECT_EQ(dbf->movePrior(), 0);
  dbf->moveLast();
  EXPECT_TRUE(dbf->isEmpty());
  EXPECT_EQ(MessageOf([&] { dbf->deleteRecord(); }), "Dbf1: Cannot perform this operation on an empty dataset");
  EXPECT_EQ(MessageOf([&] { dbf->fieldNamed("RC1").writeString("1"); }),
            "Dbf1: Cannot perform this operation on an empty dataset");
  dbf->startEdit();
  EXPECT_EQ(dbf->state(), TDataSetState::StateInsert) << "editing an empty table inserts";
}

TEST_F(NavigationTest, AllDeletedTableBehavesAsEmpty) {
  auto dbf = OpenNames({"Ann", "Bob", "Cyril"}, {"Ann", "Bob", "Cyril"});
  EXPECT_TRUE(dbf->isEmpty());
  EXPECT_TRUE(dbf->atBof());
  EXPECT_TRUE(dbf->atEof());
  EXPECT_EQ(dbf->recordCount(), 3);
  dbf->moveLast();
  EXPECT_TRUE(dbf->isEmpty());
  EXPECT_THROW(dbf->deleteRecord(), EDatabaseError);

  dbf->close();
  dbf->SetShowDeleted(true);
  dbf->open();
  EXPECT_EQ(CurrentName(*dbf), "Ann");
  EXPECT_EQ(dbf->moveBy(5), 2);
}

TEST_F(NavigationTest, EofOnlyAfterAForwardMoveFindsNothing) {
  auto dbf = OpenNames({"Ann", "Bob", "Cyril"});
  EXPECT_TRUE(dbf->atBof()) << "after opening";
  EXPECT_FALSE(dbf->atEof());
  EXPECT_EQ(dbf->moveNext(), 1);
  EXPECT_FALSE(dbf->atBof());
  EXPECT_EQ(dbf->moveNext(), 1);
  EXPECT_EQ(CurrentName(*dbf), "Cyril");
  EXPECT_FALSE(dbf->atEof()) << "standing on the last record is not EOF yet";
  EXPECT_EQ(dbf->moveNext(), 0);
  EXPECT_TRUE(dbf->atEof());
  EXPECT_EQ(CurrentName(*dbf), "Cyril");
  EXPECT_EQ(dbf->moveNext(), 0);
  EXPECT_EQ(dbf->movePrior(), -1);
  EXPECT_FALSE(dbf->atEof());
  EXPECT_EQ(CurrentName(*dbf), "Bob");

  dbf->moveLast();
  EXPECT_TRUE(dbf->atEof());
  EXPECT_EQ(CurrentName(*dbf), "Cyril");
  EXPECT_EQ(dbf->moveBy(-5), -2);
  EXPECT_TRUE(dbf->atBof());
  EXPECT_EQ(CurrentName(*dbf), "Ann");
}

TEST_F(NavigationTest, HiddenRecordsAreSkippedButKeepTheirNumbers) {
  auto dbf = OpenNames({"Ann", "Bob", "Cyril", "Dana", "Eva"}, {"Ann", "Bob", "Dana"});
  EXPECT_EQ(CurrentName(*dbf), "Cyril");
  EXPECT_EQ(dbf->recordNumber(), 3);
  EXPECT_EQ(dbf->moveNext(), 1);
  EXPECT_EQ(dbf->recordNumber(), 5);
  EXPECT_EQ(dbf->moveNext(), 0);
  EXPECT_EQ(dbf->movePrior(), -1);
  EXPECT_EQ(CurrentName(*dbf), "Cyril");
  EXPECT_EQ(dbf->movePrior(), 0);
  EXPECT_TRUE(dbf->atBof());
  EXPECT_EQ(dbf->recordCount(), 5);
}

TEST_F(NavigationTest, RecordNumberPositionsOnThatRecordOrTheNextVisible) {
  auto dbf = OpenNames({"Ann", "Bob", "Cyril", "Dana"}, {"Cyril"});
  dbf->setRecordNumber(2);
  EXPECT_EQ(CurrentName(*dbf), "Bob");
  dbf->setRecordNumber(3);
  EXPECT_EQ(CurrentName(*dbf), "Dana");
  EXPECT_EQ(dbf->recordNumber(), 4);
  dbf->setRecordNumber(99);
  EXPECT_EQ(CurrentName(*dbf), "Dana") << "past the end the last visible record is taken";
  EXPECT_FALSE(dbf->atEof());
}

TEST_F(NavigationTest, RefreshBringsBackTheStoredValues) {
  auto dbf = OpenNames({"Ann", "Bob"});
  dbf->moveNext();
  dbf->fieldNamed("NAME").writeString("Changed");
  EXPECT_EQ(dbf->state(), TDataSetState::StateBrowse) << "assignments make no state check";
  dbf->refresh();
  EXPECT_EQ(CurrentName(*dbf), "Bob");
  EXPECT_EQ(dbf->recordNumber(), 2);
}

TEST_F(NavigationTest, ClosedDatasetRefusesToMove) {
  auto dbf = NamesTable(folder_, {"Ann"});
  for (const auto& move : std::vector<std::function<void()>>{[&] { dbf->moveFirst(); }, [&] { dbf->moveNext(); },
                                                             [&] { dbf->refresh(); }, [&] { dbf->startAppend(); },
                                                             [&] { dbf->startEdit(); }, [&] { dbf->deleteRecord(); }}) {
    EXPECT_EQ(MessageOf(move), "Dbf2: Cannot perform this operation on a closed dataset");
  }
  EXPECT_EQ(dbf->recordNumber(), 0);
  EXPECT_TRUE(dbf->isEmpty());
}

class WindowTest : public NavigationTest {
 protected:
  void SetUp() override {
    dbf_ = NamesTable(folder_, {"Ann", "Bob", "Cyril", "Dana", "Eva", "Frank"});
    source_.SetDataSet(dbf_.get());
    grid_.SetBufferCount(3);
    grid_.SetDataSource(&source_);
    dbf_->open();
    grid_.Log().clear();
  }
  // The grid's rows, with the current one marked.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows = grid_.Rows();
    rows[static_cast<size_t>(grid_.ActiveRecord())] += "*";
    return rows;
  }

  std::unique_ptr<TDbf> dbf_;
  TDataSource source_;
  TRecordingLink grid_;
};

TEST_F(WindowTest, ScrollsOnlyWhenTheCurrentRecordLeavesTheRows) {
  EXPECT_EQ(dbf_->windowSize(), 3);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Ann*", "Bob", "Cyril"}));
  dbf_->moveNext();
  dbf_->moveNext();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Ann", "Bob", "Cyril*"}));
  EXPECT_EQ(grid_.Log(), (std::vector<std::string>{"scrolled 0", "scrolled 0"}));
  grid_.Log().clear();

  EXPECT_EQ(dbf_->moveBy(2), 2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Cyril", "Dana", "Eva*"}));
  EXPECT_EQ(grid_.Log(), (std::vector<std::string>{"scrolled 2"}));
  dbf_->movePrior();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Cyril", "Dana*", "Eva"}));
  dbf_->moveBy(-2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Bob*", "Cyril", "Dana"}));
}

TEST_F(WindowTest, RowsOfAOneRowControlFollowTheCurrentRecord) {
  TRecordingLink edit;
  edit.SetDataSource(&source_);
  dbf_->moveBy(3);
  EXPECT_EQ(edit.Rows(), (std::vector<std::string>{"Dana"}));
  EXPECT_EQ(edit.Log().back(), "scrolled 3") << "the one row moved three records on";
  dbf_->moveLast();
  EXPECT_EQ(edit.Rows(), (std::vector<std::string>{"Frank"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Dana", "Eva", "Frank*"}));
}

TEST_F(WindowTest, ReReadingKeepsTheCurrentRecordInItsRow) {
  dbf_->moveLast();
  dbf_->moveBy(-2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Dana*", "Eva", "Frank"}));
  dbf_->refresh();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Dana*", "Eva", "Frank"}));
  dbf_->setRecordNumber(6);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Dana", "Eva", "Frank*"}))
      << "no record follows the last one: the rows above are filled instead";
  dbf_->setRecordNumber(2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Ann", "Bob*", "Cyril"}));
}

TEST_F(WindowTest, WindowFollowsTheLargestBufferCount) {
  grid_.SetBufferCount(5);
  EXPECT_EQ(dbf_->windowSize(), 5);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Ann*", "Bob", "Cyril", "Dana", "Eva"}));
  grid_.SetBufferCount(2);
  EXPECT_EQ(dbf_->windowSize(), 2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Ann*", "Bob"}));
  grid_.SetDataSource(nullptr);
  EXPECT_EQ(dbf_->windowSize(), 1);
}

}  // namespace
}  // namespace dbf
