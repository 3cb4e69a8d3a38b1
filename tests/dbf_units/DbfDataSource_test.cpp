// Data sources and data links without any toolkit: the order in which links hear of an
// event, state mirroring and disabled sources, the edit request, and a field data link
// that shows, edits and writes back one field like an edit box.
#include "DbfDataSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfErrors.h"
#include "dbf.h"

namespace dbf {
namespace {

using testing::CurrentName;
using testing::MessageOf;
using testing::NamesTable;
using testing::TRecordingLink;
using testing::TScratchFolder;

class DataSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dbf_ = NamesTable(folder_, {"Ann", "Bob"});
    source_.SetDataSet(dbf_.get());
  }

  TScratchFolder folder_;
  std::unique_ptr<TDbf> dbf_;
  TDataSource source_;
};

TEST_F(DataSourceTest, NonVisualLinksHearFirstThenVisualOnesLatestAttachedFirst) {
  std::vector<std::string> log;
  TRecordingLink first("first", &log), second("second", &log), grid("grid", &log), edit("edit", &log);
  grid.SetVisualControl(true);
  edit.SetVisualControl(true);
  for (TRecordingLink* link : {&grid, &first, &edit, &second}) link->SetDataSource(&source_);
  dbf_->open();
  EXPECT_EQ(log, (std::vector<std::string>{"second active 1", "first active 1", "edit active 1", "grid active 1"}));
  log.clear();
  dbf_->moveLast();
  EXPECT_EQ(log, (std::vector<std::string>{"second dataset", "first dataset", "edit dataset", "grid dataset"}));
}

TEST_F(DataSourceTest, SourceMirrorsTheStateUnlessDisabled) {
  TRecordingLink link;
  link.SetDataSource(&source_);
  EXPECT_EQ(source_.State(), TDataSetState::StateInactive);
  dbf_->open();
  EXPECT_EQ(source_.State(), TDataSetState::StateBrowse);
  EXPECT_TRUE(link.Active());
  dbf_->startEdit();
  EXPECT_EQ(source_.State(), TDataSetState::StateEdit);
  EXPECT_TRUE(link.Editing());
  dbf_->cancel();

  link.Log().clear();
  source_.SetEnabled(false);
  EXPECT_EQ(source_.State(), TDataSetState::StateInactive);
  EXPECT_FALSE(link.Active());
  dbf_->moveLast();
  EXPECT_EQ(link.Log(), (std::vector<std::string>{"active 0"})) << "a disabled source passes nothing on";
  source_.SetEnabled(true);
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(link.ActiveRecord(), 0);
  dbf_->close();
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.RecordCount(), 0);
}

TEST_F(DataSourceTest, ReadOnlyLinkNeverEdits) {
  TRecordingLink link;
  link.SetDataSource(&source_);
  dbf_->open();
  link.SetReadOnly(true);
  EXPECT_FALSE(link.edit());
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  dbf_->startEdit();
  EXPECT_FALSE(link.Editing());
  link.SetReadOnly(false);
  EXPECT_TRUE(link.Editing());
  EXPECT_EQ(link.Log().back(), "editing 1");
}

TEST_F(DataSourceTest, EditRequestStartsAnEditOnlyWithAutoEdit) {
  TRecordingLink link;
  link.SetDataSource(&source_);
  dbf_->open();
  source_.SetAutoEdit(false);
  EXPECT_FALSE(link.edit());
  source_.SetAutoEdit(true);
  EXPECT_TRUE(link.edit());
  EXPECT_EQ(dbf_->state(), TDataSetState::StateEdit);
}

TEST_F(DataSourceTest, DestroyedPartsLeaveNoDanglingLinks) {
  auto link = std::make_unique<TRecordingLink>();
  link->SetBufferCount(4);
  {
    TDataSource temporary;
    temporary.SetDataSet(dbf_.get());
    link->SetDataSource(&temporary);
    dbf_->open();
    EXPECT_EQ(dbf_->windowSize(), 4);
  }
  EXPECT_EQ(link->DataSource(), nullptr);
  EXPECT_FALSE(link->Active());
  EXPECT_EQ(dbf_->windowSize(), 1);

  link->SetDataSource(&source_);
  dbf_.reset();
  EXPECT_EQ(source_.DataSet(), nullptr);
  EXPECT_FALSE(link->Active());
}

// A link reads the dataset's modified flag while it hears of a field change: the flag
// still tells whether the record had been changed before this assignment.
TEST_F(DataSourceTest, FieldChangeIsReportedBeforeTheRecordCountsAsModified) {
  class TModifiedProbe : public TDataLink {
   public:
    std::vector<bool> seen;

   protected:
    void onRecordChanged(TField* field) override {
      if (field != nullptr) seen.push_back(DataSet()->modified());
    }
  } probe;
  probe.SetDataSource(&source_);
  dbf_->open();
  dbf_->startEdit();
  dbf_->fieldNamed("NAME").writeString("Ada");
  dbf_->fieldNamed("NAME").writeString("Eve");
  EXPECT_EQ(probe.seen, (std::vector<bool>{false, true}));
  EXPECT_TRUE(dbf_->modified());
}

// The link of an edit box without the box: its text is a string.
class TTextBoxLink : public TFieldDataLink {
 public:
  TTextBoxLink() : TFieldDataLink("DBEdit1") {}
  std::string text_ = "untouched";
  int editing_changes_ = 0;

 protected:
  void dataChange() override { text_ = Field() != nullptr ? Field()->displayText() : ""; }
  void updateData() override { Field()->assignEditText(text_); }
  void editingChange() override { ++editing_changes_; }
};

class FieldDataLinkTest : public DataSourceTest {
 protected:
  void SetUp() override {
    DataSourceTest::SetUp();
    link_.SetFieldName("NAME");
    link_.SetDataSource(&source_);
  }
  // The examiner types into the box.
  void Type(const std::string& text) {
    if (!link_.edit()) return;
    text_ = text;
    link_.SetModified();
  }

  TTextBoxLink link_;
  std::string& text_ = link_.text_;
  int& editing_changes_ = link_.editing_changes_;
};

TEST_F(FieldDataLinkTest, ShowsItsFieldAndFollowsTheRecord) {
  EXPECT_EQ(link_.Field(), nullptr);
  dbf_->open();
  ASSERT_NE(link_.Field(), nullptr);
  EXPECT_EQ(text_, "Ann");
  dbf_->moveNext();
  EXPECT_EQ(text_, "Bob");
  text_ = "kept";
  dbf_->fieldNamed("NUM").writeInteger(7);
  EXPECT_EQ(text_, "kept") << "a change of another field is not shown";
  dbf_->close();
  EXPECT_EQ(link_.Field(), nullptr);
  EXPECT_EQ(text_, "");
}

TEST_F(FieldDataLinkTest, TypingStartsAnEditAndPostWritesTheTextBack) {
  dbf_->open();
  EXPECT_FALSE(link_.OwnEditing());
  Type("Anna");
  EXPECT_EQ(dbf_->state(), TDataSetState::StateEdit);
  EXPECT_TRUE(link_.OwnEditing());
  EXPECT_TRUE(link_.Modified());
  dbf_->post();
  EXPECT_FALSE(link_.Modified());
  EXPECT_EQ(text_, "Anna");
  dbf_->close();
  dbf_->open();
  EXPECT_EQ(text_, "Anna");
}

TEST_F(FieldDataLinkTest, TextSetInBrowseIsLostAtTheNextRecord) {
  dbf_->open();
  link_.SetReadOnly(true);
  EXPECT_FALSE(link_.edit());
  text_ = "|1|2";
  link_.SetModified();
  dbf_->moveNext();
  EXPECT_EQ(text_, "Bob");
  dbf_->moveFirst();
  EXPECT_EQ(CurrentName(*dbf_), "Ann");

  dbf_->startInsert();
  text_ = "Zoe";
  link_.SetModified();
  dbf_->post();
  EXPECT_EQ(CurrentName(*dbf_), "Zoe") << "a read-only box's text is written back while inserting";
}

TEST_F(FieldDataLinkTest, FieldThatCannotBeModifiedGetsNoEdit) {
  dbf_->open();
  link_.Field()->SetReadOnly(true);
  Type("Anna");
  EXPECT_EQ(dbf_->state(), TDataSetState::StateBrowse);
  EXPECT_FALSE(link_.CanModify());
  link_.Field()->SetReadOnly(false);
  dbf_->startInsert();
  EXPECT_TRUE(link_.OwnEditing());
  EXPECT_GE(editing_changes_, 1);
}

TEST_F(FieldDataLinkTest, UnknownFieldNameFailsWithTheControlsName) {
  link_.SetFieldName("PRIJMENI");
  EXPECT_EQ(MessageOf([&] { dbf_->open(); }), "DBEdit1: Field 'PRIJMENI' not found");
  EXPECT_EQ(dbf_->state(), TDataSetState::StateInactive);
  link_.SetFieldName("NAME");
  dbf_->open();
  EXPECT_EQ(MessageOf([&] { link_.SetFieldName("JMENO"); }), "DBEdit1: Field 'JMENO' not found");
  EXPECT_EQ(link_.Field(), nullptr);
}

}  // namespace
}  // namespace dbf
