// The table dataset's settings, opening and closing: where the file is, binding declared
// fields and making default ones, createTable, failed opens, and two datasets that
// share one table file, and datasets given seams of their own.
#include "dbf.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfErrors.h"
#include "DbfForeignFields.h"
#include "DbfPaths.h"
#include "FileLayerTestSupport.h"
#include "MemoryFiles.h"
#include "UDbfFile.h"

namespace dbf {
namespace {

using testing::CurrentName;
using testing::DataSetOn;
using testing::DeclareField;
using testing::FolderPath;
using testing::MessageOf;
using testing::NamesTable;
using testing::ResultsTable;
using testing::TScratchFolder;

TEST(DbfSettingsTest, DefaultsAndThePathOfATableName) {
  TDbf dbf;
  EXPECT_EQ(dbf.OpenMode(), TDbfOpenMode::omAutoCreate);
  EXPECT_EQ(dbf.Storage(), TDbfStorage::stoFile);
  EXPECT_FALSE(dbf.ShowDeleted());
  EXPECT_FALSE(dbf.ReadOnly());
  EXPECT_TRUE(dbf.canModify());
  EXPECT_EQ(dbf.Version(), "dbf_units v1.0");
  EXPECT_EQ(dbf.state(), TDataSetState::StateInactive);
  EXPECT_TRUE(dbf.isEmpty());
  EXPECT_EQ(dbf.recordCount(), 0);

  dbf.SetTableName("Tarni2.dbf");
  EXPECT_EQ(dbf.FullName(), DbfBaseFolder() + "Tarni2.dbf") << "the program's folder, not the current one";
  dbf.SetFilePath("DATA");
  EXPECT_EQ(dbf.FullName(), DbfBaseFolder() + "DATA/Tarni2.dbf");
  dbf.SetTableName("/var/tables/../results/T.DBF");
  EXPECT_EQ(dbf.TableName(), "T.DBF");
  EXPECT_EQ(dbf.FullName(), "/var/results/T.DBF");
}

class DbfTest : public ::testing::Test {
 protected:
  TScratchFolder folder_;
};

TEST_F(DbfTest, OpenModesDecideAboutAMissingFile) {
  auto dbf = ResultsTable(folder_);
  dbf->SetOpenMode(TDbfOpenMode::omNormal);
  EXPECT_EQ(MessageOf([&] { dbf->open(); }), "Open: Table file not found : " + (folder_ / "TARNI.DBF"));
  EXPECT_EQ(dbf->state(), TDataSetState::StateInactive);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "TARNI.DBF"));

  for (const TDbfOpenMode mode : {TDbfOpenMode::omAutoCreate, TDbfOpenMode::omTemporary}) {
    std::filesystem::remove(folder_ / "TARNI.DBF");
    dbf->SetOpenMode(mode);
    dbf->open();
    EXPECT_EQ(dbf->state(), TDataSetState::StateBrowse);
    EXPECT_EQ(dbf->recordCount(), 0);
    dbf->close();
    EXPECT_EQ(filetest::ReadFileBytes(folder_ / "TARNI.DBF").size(), 386u);
  }
}

TEST_F(DbfTest, FolderCanChangeOnlyWhileClosed) {
  auto dbf = ResultsTable(folder_);
  dbf->open();
  const std::string other = folder_ / "OTHER.DBF";
  EXPECT_EQ(MessageOf([&] { dbf->SetTableName(other); }), "Dbf1: Cannot perform this operation on an open dataset");
  EXPECT_EQ(MessageOf([&] { dbf->SetFilePath("/tmp"); }), "Dbf1: Cannot perform this operation on an open dataset");
  EXPECT_EQ(dbf->TableName(), "TARNI.DBF");
  dbf->SetTableName("OTHER.DBF");
  EXPECT_FALSE(std::filesystem::exists(other)) << "a bare name waits for the next open";
  dbf->close();
  dbf->open();
  EXPECT_TRUE(std::filesystem::exists(other));
}

TEST_F(DbfTest, ExistingFileIsFoundWhateverItsLetterCase) {
  NamesTable(folder_, {"Ann", "Bob"}, {}, "names.dbf");
  auto dbf = DataSetOn(folder_, "NAMES.DBF");
  dbf->open();
  EXPECT_EQ(dbf->recordCount(), 2);
  EXPECT_EQ(CurrentName(*dbf), "Ann");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "NAMES.DBF")) << "no empty twin beside the real table";
}

TEST_F(DbfTest, CreateTableEmptiesAnExistingFile) {
  auto dbf = ResultsTable(folder_);
  dbf->open();
  dbf->startInsert();
  dbf->fieldNamed("PRIJMENI").writeString("Novák");
  dbf->post();
  EXPECT_EQ(MessageOf([&] { dbf->createTable(); }), "Dbf1: Cannot perform this operation on an open dataset");
  dbf->close();
  dbf->createTable();
  EXPECT_EQ(dbf->state(), TDataSetState::StateInactive);
  dbf->open();
  EXPECT_EQ(dbf->recordCount(), 0);
  EXPECT_EQ(dbf->FieldDefs().Count(), 11);
}

TEST_F(DbfTest, DeclaredFieldsAreBoundByNameAtEveryOpen) {
  auto dbf = ResultsTable(folder_);
  TField& surname = dbf->fieldNamed("PRIJMENI");
  EXPECT_EQ(surname.FieldNo(), 0);
  dbf->open();
  EXPECT_EQ(&dbf->fieldNamed("prijmeni"), &surname);
  EXPECT_EQ(surname.FieldNo(), 1);
  EXPECT_EQ(dbf->fieldNamed("ODPOVEDI").FieldNo(), 11);
  EXPECT_EQ(dbf->FieldDefs().Items(4).FieldType(), TFieldType::ftInteger)
      << "the column list is refilled from the file";
  EXPECT_EQ(MessageOf([&] { dbf->fieldNamed("VEK"); }), "Dbf1: Field 'VEK' not found");
  EXPECT_EQ(dbf->findField("VEK"), nullptr);
  EXPECT_EQ(MessageOf([&] { dbf->fieldAt(11); }), "List index out of bounds (11)");
  EXPECT_EQ(&dbf->fieldAt(0), &surname);
  EXPECT_THROW(dbf->addField(std::make_unique<TStringField>()), EDatabaseError);

  dbf->close();
  EXPECT_EQ(dbf->fieldCount(), 11) << "declared fields outlive the close";
  EXPECT_EQ(surname.FieldNo(), 0);
  dbf->open();
  EXPECT_EQ(surname.FieldNo(), 1);
}

TEST_F(DbfTest, BindingFailuresLeaveTheDatasetClosed) {
  ResultsTable(folder_)->createTable();
  const filetest::TBytes before = filetest::ReadFileBytes(folder_ / "TARNI.DBF");
  const auto failure = [&](auto declare) {
    TDbf dbf;
    dbf.SetName("Dbf1");
    dbf.SetFilePath(FolderPath(folder_));
    dbf.SetTableName("TARNI.DBF");
    declare(dbf);
    const std::string message = MessageOf([&] { dbf.open(); });
    EXPECT_EQ(dbf.state(), TDataSetState::StateInactive);
    EXPECT_TRUE(dbf.isEmpty());
    EXPECT_EQ(TPagedFile::FindOpenFile(folder_ / "TARNI.DBF"), nullptr) << "the file was closed again";
    return message;
  };
  EXPECT_EQ(failure([](TDbf& dbf) { DeclareField<TStringField>(dbf, "VEK"); }), "Dbf1: Field 'VEK' not found");
  EXPECT_EQ(failure([](TDbf& dbf) { DeclareField<TIntegerField>(dbf, "PRIJMENI"); }),
            "Dbf1: Type mismatch for field 'PRIJMENI', expecting: Integer actual: String");
  EXPECT_EQ(failure([](TDbf& dbf) { DeclareField<TLargeintField>(dbf, "POC_SPR"); }),
            "Dbf1: Type mismatch for field 'POC_SPR', expecting: LargeInt actual: Integer");
  EXPECT_EQ(filetest::ReadFileBytes(folder_ / "TARNI.DBF").size(), before.size());

  TDbf same_kind;
  same_kind.SetFilePath(FolderPath(folder_));
  same_kind.SetTableName("TARNI.DBF");
  DeclareField<TSmallintField>(same_kind, "POC_SPR");
  DeclareField<TAutoIncField>(same_kind, "POC_CHYB");
  same_kind.open();
  EXPECT_EQ(same_kind.fieldNamed("POC_CHYB").FieldNo(), 6) << "small, auto-increment and integer are one kind";
}

TEST_F(DbfTest, FailedReadOfTheHeaderIsAReadErrorNotADamagedHeader) {
  NamesTable(folder_, {"Ann"});
  auto dbf = DataSetOn(folder_, "NAMES.DBF");
  // The first read takes the header's prefix, the second the whole header.
  for (const int failing_read : {1, 2}) {
    SCOPED_TRACE(failing_read);
    filetest::TFaults faults;
    faults.failing_read = failing_read;
    const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
    dbf->SetFileSeam(seam.Seam());
    try {
      dbf->open();
      ADD_FAILURE() << "opened";
    } catch (const EDbfFileError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot read file " + (folder_ / "NAMES.DBF"));
      EXPECT_EQ(error.SystemError(), EIO);
    }
    EXPECT_EQ(dbf->state(), TDataSetState::StateInactive);
  }
}

TEST_F(DbfTest, TableWithoutDeclaredFieldsGetsDefaultFieldsPerColumn) {
  filetest::TRawTable table;
  table.fields = {{"ID", 'N', 5}, {"NAME", 'C', 12}, {"ODD", 'X', 2}, {"BORN", 'D', 8}, {"OK", 'L', 1}};
  filetest::WriteFileBytes(folder_ / "SUBJECTS.DBF", table.Bytes());
  auto dbf = DataSetOn(folder_, "SUBJECTS.DBF");
  dbf->open();
  ASSERT_EQ(dbf->fieldCount(), 4) << "the column of an unknown letter gets no field";
  EXPECT_NE(dynamic_cast<TIntegerField*>(&dbf->fieldAt(0)), nullptr);
  EXPECT_EQ(dbf->fieldAt(1).Size(), 12);
  EXPECT_NE(dynamic_cast<TDateField*>(&dbf->fieldAt(2)), nullptr);
  EXPECT_EQ(dbf->fieldAt(2).FieldNo(), 4) << "field numbers are column positions";
  EXPECT_NE(dynamic_cast<TBooleanField*>(&dbf->fieldAt(3)), nullptr);
  dbf->close();
  EXPECT_EQ(dbf->fieldCount(), 0);
  dbf->open();
  EXPECT_EQ(dbf->fieldCount(), 4);
}

TEST_F(DbfTest, TwoDatasetsShareOneFile) {
  NamesTable(folder_, {"Ann", "Bob"});
  auto first = DataSetOn(folder_, "NAMES.DBF");
  auto second = DataSetOn(folder_, "NAMES.DBF");
  first->open();
  second->open();
  first->startAppend();
  first->fieldNamed("NAME").writeString("Cyril");
  first->post();
  EXPECT_EQ(second->recordCount(), 3);
  second->moveLast();
  EXPECT_EQ(CurrentName(*second), "Cyril");

  first->close();
  second->moveFirst();
  EXPECT_EQ(CurrentName(*second), "Ann") << "the file stays open for the second dataset";
  second->close();
  EXPECT_EQ(TPagedFile::FindOpenFile(folder_ / "NAMES.DBF"), nullptr);
  EXPECT_EQ(filetest::ReadFileBytes(folder_ / "NAMES.DBF")[4], 3) << "the header counts all three";
}

TEST_F(DbfTest, UpdateFieldDefsReadsTheColumnsWithoutOpening) {
  NamesTable(folder_, {"Ann"});
  auto dbf = DataSetOn(folder_, "NAMES.DBF");
  dbf->updateFieldDefs();
  EXPECT_EQ(dbf->state(), TDataSetState::StateInactive);
  ASSERT_EQ(dbf->FieldDefs().Count(), 2);
  EXPECT_EQ(dbf->FieldDefs().Items(1).Name(), "NUM");
  EXPECT_EQ(TPagedFile::FindOpenFile(folder_ / "NAMES.DBF"), nullptr);
}

// The dataset shows its fields the column text itself: what they read as views is what
// they read as strings, and a string that has grown takes every value without a new
// allocation.
TEST_F(DbfTest, FieldsReadAsViewsWhatTheyReadAsStrings) {
  const auto record = [](std::string name, std::string small, std::string count, std::string id) {
    return " " + name.append(8 - name.size(), ' ') + small + count + id;
  };
  const filetest::TRawTable raw{.fields = {{"NAME", 'C', 8}, {"SMALL", 'N', 5}, {"COUNT", 'N', 10}, {"ID", 'I', 4}},
                                .records = {record("Nov\xA0k", "40000", "    123456", std::string("\x80\0\0\x07", 4)),
                                            record("Novak", "  +42", "      0012", std::string(4, '\0')),
                                            record("", "-9999", "2147483648", "\x7F\xFF\xFF\xFF")}};
  filetest::WriteFileBytes(folder_ / "VIEWS.DBF", raw.Bytes());
  auto dbf = DataSetOn(folder_, "VIEWS.DBF");
  dbf->open();
  std::string reused;
  reused.reserve(64);
  const char* const storage = reused.data();
  std::vector<std::string> texts;
  for (dbf->moveFirst(); !dbf->atEof(); dbf->moveNext()) {
    for (int i = 0; i < dbf->fieldCount(); ++i) {
      std::string own;
      texts.emplace_back(dbf->fieldAt(i).readStringView(own));
      EXPECT_EQ(texts.back(), dbf->fieldAt(i).readString());
      dbf->fieldAt(i).readStringInto(reused);
      EXPECT_EQ(reused, texts.back());
    }
  }
  EXPECT_EQ(reused.data(), storage) << "no new allocation";
  EXPECT_EQ(texts, (std::vector<std::string>{"Novák", "40000", "123456", "7", "Novak", "42", "12", "", "", "-9999",
                                             "2147483648", "-1"}));
}

// Reading the definitions without opening gives the file's own letters; opening gives the
// dataset's copies, whose letters follow from their field types.
TEST_F(DbfTest, UpdateFieldDefsKeepsTheLettersThatOpeningDerivesAgain) {
  const filetest::TRawTable raw{.fields = {{"AMOUNT", 'N', 8, 2}, {"ID", 'I', 4}}, .records = {}};
  filetest::WriteFileBytes(folder_ / "AMOUNTS.DBF", raw.Bytes());
  auto dbf = DataSetOn(folder_, "AMOUNTS.DBF");
  const auto letters = [&] {
    std::string text;
    for (int i = 0; i < dbf->FieldDefs().Count(); ++i) {
      const TDbfFieldDef& def = dbf->FieldDefs().Items(i);
      text +=
          std::string(1, def.NativeFieldType()) + std::to_string(def.Size()) + "/" + std::to_string(def.Prec()) + " ";
    }
    return text;
  };
  dbf->updateFieldDefs();
  EXPECT_EQ(letters(), "N8/2 I4/0 ");
  dbf->open();
  EXPECT_EQ(letters(), "F8/0 N4/0 ");
}

// Closing a table not written since it was opened leaves it byte for byte (no header
// date, no end marker, not even the count its header gets wrong), whether it was only
// read or refused at its open; once written, the close brings the header up to date. A
// create syncs its header once.
TEST_F(DbfTest, OnlyAWriteGetsAHeaderAtClose) {
  const filetest::TRawTable raw{
      .fields = {{"NAME", 'C', 10}}, .records = {" Ann       ", " Bob       "}, .record_count = 1, .end_marker = false};
  const std::string path = folder_ / "NAMES.DBF";
  filetest::WriteFileBytes(path, raw.Bytes());
  const filetest::TNoticeCapture notices;
  auto names = DataSetOn(folder_, "NAMES.DBF");
  names->open();
  names->moveLast();
  names->close();
  EXPECT_EQ(MessageOf([&] { ResultsTable(folder_, "NAMES.DBF")->open(); }), "Dbf1: Field 'PRIJMENI' not found");
  EXPECT_EQ(filetest::ReadFileBytes(path), raw.Bytes());
  names->open();
  names->startEdit();
  names->fieldNamed("NAME").writeString("Cyril");
  names->post();
  names->close();
  EXPECT_EQ(filetest::HeaderRecordCount(filetest::ReadFileBytes(path)), 2u);
  EXPECT_EQ(filetest::ReadFileBytes(path).back(), kEndMarker);

  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  auto table = ResultsTable(folder_, "NEW.DBF");
  table->SetFileSeam(seam.Seam());
  table->createTable();
  EXPECT_EQ(faults.syncs, 1);
}

// A create without fields is refused before its file is made, also by an open that
// would create it.
TEST_F(DbfTest, ACreateWithoutFieldsMakesNoFile) {
  auto empty = DataSetOn(folder_, "EMPTY.DBF");
  EXPECT_EQ(MessageOf([&] { empty->createTable(); }), "Invalid field count : 0 (must be between 1 and 4095)");
  EXPECT_EQ(MessageOf([&] { empty->open(); }), "Invalid field count : 0 (must be between 1 and 4095)");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "EMPTY.DBF"));
}

}  // namespace

// A dataset reaches the files of the seam it was given and hears its notices there:
// two sets of memory files in one process keep two tables apart, the disk holds
// neither, and nothing reaches the process-wide notice handler.
TEST_F(DbfTest, DatasetsWithTheirOwnSeamsSeeOnlyTheirOwnFiles) {
  fuzz::TMemoryFiles first_files(int64_t{1} << 20), second_files(int64_t{1} << 20);
  const filetest::TBytes miscounted = filetest::TRawTable{0x03, {{"NAME", 'C', 10}}, {" Ann       "}, 2}.Bytes();
  const std::string first_path = first_files.Put("NAMES.DBF", miscounted.data(), miscounted.size());
  const std::string second_path = second_files.Put("NAMES.DBF", nullptr, 0);
  std::vector<std::string> first_notices;
  const filetest::TNoticeCapture process_wide;
  const auto dataset_on = [](const std::string& path, TFileSeam seam) {
    auto table = std::make_unique<TDbf>();
    table->SetTableName(path);
    table->SetFileSeam(std::move(seam));
    return table;
  };
  auto first =
      dataset_on(first_path, first_files.Seam([&](const std::string& text) { first_notices.push_back(text); }));
  auto second = dataset_on(second_path, second_files.Seam());
  second->FieldDefs().Add("NAME", TFieldType::ftString, 10, false);
  second->createTable();
  second->open();
  second->startAppend();
  second->fieldNamed("NAME").writeString("Bob");
  second->post();
  first->open();

  EXPECT_EQ(first->recordCount(), 1);
  EXPECT_EQ(CurrentName(*first), "Ann");
  EXPECT_EQ(second->recordCount(), 1);
  EXPECT_EQ(CurrentName(*second), "Bob");
  ASSERT_EQ(first_notices.size(), 1u);
  EXPECT_EQ(first_notices[0].rfind("Invalid Record Count", 0), 0u);
  EXPECT_TRUE(process_wide.Notices().empty());
  first->close();
  second->close();
  EXPECT_EQ(first_files.Contents(first_path), miscounted) << "a table only read stays as it was";
  EXPECT_EQ(filetest::HeaderRecordCount(second_files.Contents(second_path)), 1u);
  EXPECT_TRUE(filetest::ReadFileBytes(first_path).empty());
  EXPECT_TRUE(filetest::ReadFileBytes(second_path).empty());
}

}  // namespace dbf
