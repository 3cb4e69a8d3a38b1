#include "ResultsTable.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "AnswerList.h"
#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "Evaluation.h"
#include "PictureClick.h"
#include "TestConfiguration.h"
#include "dbf.h"

namespace tarni {
namespace {

namespace fs = std::filesystem;

class ResultsTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "results_table_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  // The results table as the data module declares it, on a file of this test's folder.
  std::unique_ptr<dbf::TDbf> results_table(ResultsFields& fields) const {
    auto table = std::make_unique<dbf::TDbf>();
    table->SetName("Dbf1");
    table->SetTableName(path("XXXX.DBF"));
    fields = declare_results_schema(*table);
    return table;
  }

  std::vector<unsigned char> file_bytes(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder_;
};

TEST_F(ResultsTableTest, MissingFileIsCreatedWithTheElevenColumns) {
  ResultsFields fields;
  auto table = results_table(fields);
  table->createTable();
  table->open();

  const std::vector<std::string> names = {"PRIJMENI", "JMENO",   "RC1",     "RC2",     "POC_SPR", "POC_CHYB",
                                          "SUMA_AGR", "SUMA_SM", "POM_A_S", "POM_S_S", "ODPOVEDI"};
  const std::vector<char> letters = {'C', 'C', 'C', 'C', 'N', 'N', 'N', 'N', 'C', 'C', 'C'};
  const std::vector<int> lengths = {15, 15, 6, 4, 5, 5, 3, 3, 5, 5, 254};
  const dbf::TDbfFieldDefs& defs = table->FieldDefs();
  ASSERT_EQ(defs.Count(), 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(defs.Items(i).Name(), names[i]);
    EXPECT_EQ(defs.Items(i).NativeFieldType(), letters[i]) << names[i];
    EXPECT_EQ(defs.Items(i).Size(), lengths[i]) << names[i];
    EXPECT_EQ(defs.Items(i).Prec(), 0) << names[i];
  }
  EXPECT_EQ(table->recordCount(), 0);
  EXPECT_TRUE(table->isEmpty());
  table->close();

  const std::vector<unsigned char> bytes = file_bytes("XXXX.DBF");
  ASSERT_EQ(bytes.size(), 386u);
  const dbf::THeaderPrefix prefix = dbf::ReadHeaderPrefix(bytes.data(), bytes.size());
  EXPECT_EQ(prefix.header_length, 385);
  EXPECT_EQ(prefix.record_length, 321);
}

TEST_F(ResultsTableTest, OneSubjectFromInsertToReopen) {
  ResultsFields fields;
  auto table = results_table(fields);
  table->createTable();
  table->open();

  TestConfiguration config;
  config.param_a = 10;
  config.param_b = 10;
  config.agr_count = 4;
  config.agr_set = {9, 21, 24, 25};
  config.sm_count = 4;
  config.sm_set = {6, 7, 18, 29};
  AnswerList answers;
  answers.novy_proband();
  for (int picture : {9, 21, 6, 9}) click_picture(answers, picture);
  answers.record_error();

  table->startInsert();
  fields.Dbf1PRIJMENI->writeString("Dvořáček");
  fields.Dbf1JMENO->writeString("Jiří");
  fields.Dbf1RC1->writeString("800229");
  fields.Dbf1RC2->writeString("1234");
  fields.Dbf1ODPOVEDI->writeString(answers.answer_string());
  table->post();

  table->startEdit();
  write_evaluation(fields, vyhodnoceni(answers, config));
  table->post();
  EXPECT_EQ(table->recordCount(), 1);
  table->close();

  table->open();
  ASSERT_EQ(table->recordCount(), 1);
  EXPECT_EQ(fields.Dbf1PRIJMENI->readString(), "Dvořáček");
  EXPECT_EQ(fields.Dbf1JMENO->readString(), "Jiří");
  EXPECT_EQ(fields.Dbf1RC1->readString(), "800229");
  EXPECT_EQ(fields.Dbf1RC2->readString(), "1234");
  EXPECT_EQ(fields.Dbf1ODPOVEDI->readString(), "|9|21|6|0|0");
  EXPECT_EQ(fields.Dbf1POC_SPR->readInteger(), 3);
  EXPECT_EQ(fields.Dbf1POC_CHYB->readInteger(), 2);
  EXPECT_EQ(fields.Dbf1SUMA_AGR->readInteger(), 2);
  EXPECT_EQ(fields.Dbf1SUMA_SM->readInteger(), 1);
  EXPECT_EQ(fields.Dbf1POM_A_S->readString(), "0.67");
  EXPECT_EQ(fields.Dbf1POM_S_S->readString(), "0.33");
}

TEST_F(ResultsTableTest, SubjectWithoutAnswersStoresZerosAndEmptyAnswers) {
  ResultsFields fields;
  auto table = results_table(fields);
  table->createTable();
  table->open();
  AnswerList answers;
  answers.novy_proband();

  table->startInsert();
  fields.Dbf1ODPOVEDI->writeString(answers.answer_string());
  table->post();
  table->startEdit();
  write_evaluation(fields, vyhodnoceni(answers, TestConfiguration{}));
  table->post();

  EXPECT_EQ(fields.Dbf1POC_SPR->readString(), "0");
  EXPECT_EQ(fields.Dbf1POC_CHYB->readString(), "0");
  EXPECT_EQ(fields.Dbf1SUMA_AGR->readString(), "0");
  EXPECT_EQ(fields.Dbf1SUMA_SM->readString(), "0");
  EXPECT_EQ(fields.Dbf1POM_A_S->readString(), "0");
  EXPECT_EQ(fields.Dbf1POM_S_S->readString(), "0");
  EXPECT_TRUE(fields.Dbf1ODPOVEDI->isNull());
}

// Writes a table of other columns under the results table's file name.
void create_foreign_table(const std::string& table_name,
                          const std::vector<std::tuple<const char*, char, int>>& columns) {
  dbf::TDbf table;
  table.SetTableName(table_name);
  for (const auto& [name, letter, length] : columns) {
    dbf::TDbfFieldDef& def = table.FieldDefs().Add();
    def.SetName(name);
    def.SetNativeFieldType(letter);
    def.SetSize(length);
  }
  table.createTable();
}

TEST_F(ResultsTableTest, ExistingFileWithoutTheSchemaIsRefused) {
  create_foreign_table(path("XXXX.DBF"), {{"PRIJMENI", 'C', 15}, {"JMENO", 'C', 15}});
  ResultsFields fields;
  auto table = results_table(fields);
  try {
    table->open();
    FAIL() << "a table without RC1 opened";
  } catch (const dbf::EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Dbf1: Field 'RC1' not found");
  }
  EXPECT_EQ(table->state(), dbf::TDataSetState::StateInactive);

  create_foreign_table(
      path("XXXX.DBF"),
      {{"PRIJMENI", 'C', 15}, {"JMENO", 'C', 15}, {"RC1", 'C', 6}, {"RC2", 'C', 4}, {"POC_SPR", 'C', 5}});
  try {
    table->open();
    FAIL() << "a text POC_SPR column bound to an integer field";
  } catch (const dbf::EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Dbf1: Type mismatch for field 'POC_SPR', expecting: Integer actual: String");
  }
}

TEST_F(ResultsTableTest, ExportsFindTheResultsColumnsWithTheirLabelsAndTheRatioTexts) {
  ResultsFields fields;
  auto table = results_table(fields);
  table->createTable();
  table->open();
  EXPECT_TRUE(is_results_table(*table));
  for (int i = 0; i < table->fieldCount(); ++i) {
    const std::string& name = table->fieldAt(i).FieldName();
    SCOPED_TRACE(name);
    const std::optional<ResultsColumnMeaning> meaning = results_column_meaning(name);
    ASSERT_TRUE(meaning.has_value());
    EXPECT_GT(std::string(meaning->label).size(), 2u);
    EXPECT_EQ(meaning->number_as_text, name == "POM_A_S" || name == "POM_S_S");
  }
  EXPECT_STREQ(results_column_meaning("RC1")->label, "Rodné číslo, první část");
  EXPECT_FALSE(results_column_meaning("pom_a_s").has_value());
  table->close();

  // A table that lacks a results column is some other table, whatever else it holds.
  create_foreign_table(path("JINA.DBF"), {{"PRIJMENI", 'C', 15}, {"POM_A_S", 'C', 5}, {"POM_S_S", 'C', 5}});
  dbf::TDbf other;
  other.SetTableName(path("JINA.DBF"));
  other.open();
  EXPECT_FALSE(is_results_table(other));
}

TEST_F(ResultsTableTest, SubjectIdentityIsReadByPosition) {
  create_foreign_table(
      path("OSOBY.DBF"),
      {{"CISLO", 'N', 4}, {"PRIJMENI", 'C', 20}, {"JMENO", 'C', 20}, {"RC_A", 'C', 6}, {"RC_B", 'C', 4}});
  dbf::TDbf subjects;
  subjects.SetName("Dbf2");
  subjects.SetTableName(path("OSOBY.DBF"));
  subjects.open();
  subjects.startAppend();
  subjects.fieldAt(0).writeString("17");
  subjects.fieldAt(1).writeString("Šťastná");
  subjects.fieldAt(2).writeString("Žofie");
  subjects.fieldAt(3).writeString("015231");
  subjects.fieldAt(4).writeString("0042");
  subjects.post();

  std::vector<std::string> copied;
  const auto fill = [&copied](IdentityPart part, const std::string& text) {
    EXPECT_EQ(static_cast<size_t>(part), copied.size());
    copied.push_back(text);
  };
  copy_subject_identity(subjects, fill);
  EXPECT_EQ(copied, (std::vector<std::string>{"Šťastná", "Žofie", "015231", "0042"}));
  subjects.close();

  // A table short of the last field hands over the parts it has, then fails.
  create_foreign_table(path("KRATKA.DBF"),
                       {{"CISLO", 'N', 4}, {"PRIJMENI", 'C', 20}, {"JMENO", 'C', 20}, {"RC_A", 'C', 6}});
  subjects.SetTableName(path("KRATKA.DBF"));
  subjects.open();
  subjects.startAppend();
  subjects.fieldAt(1).writeString("Malá");
  subjects.post();
  copied.clear();
  try {
    copy_subject_identity(subjects, fill);
    FAIL() << "a four-field subjects table gave a whole identity";
  } catch (const dbf::EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (4)");
  }
  EXPECT_EQ(copied, (std::vector<std::string>{"Malá", "", ""}));
}

}  // namespace
}  // namespace tarni
