// Shared helpers of the dataset-layer tests (beside those of the file layer): the results
// table's field objects, small tables built record by record, a fake dataset for field
// objects bound by hand, and a data link that records the hooks it receives.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DbfDataSource.h"
#include "DbfErrors.h"
#include "DbfFields.h"
#include "FileLayerTestSupport.h"
#include "UDbfFile.h"
#include "dbf.h"

namespace dbf::testing {

using filetest::TScratchFolder;

// A folder as FilePath takes it.
inline std::string FolderPath(const TScratchFolder& folder) { return folder.Folder() + "/"; }

template <typename Field>
Field& DeclareField(TDbf& dbf, const char* name, int32_t size = 0) {
  auto field = std::make_unique<Field>();
  field->SetFieldName(name);
  if (size > 0) field->SetSize(size);
  return static_cast<Field&>(dbf.addField(std::move(field)));
}

// The results table's eleven field objects.
inline void DeclareResultsFields(TDbf& dbf) {
  DeclareField<TStringField>(dbf, "PRIJMENI", 15);
  DeclareField<TStringField>(dbf, "JMENO", 15);
  DeclareField<TStringField>(dbf, "RC1", 6);
  DeclareField<TStringField>(dbf, "RC2", 4);
  DeclareField<TIntegerField>(dbf, "POC_SPR");
  DeclareField<TIntegerField>(dbf, "POC_CHYB");
  DeclareField<TSmallintField>(dbf, "SUMA_AGR");
  DeclareField<TSmallintField>(dbf, "SUMA_SM");
  DeclareField<TStringField>(dbf, "POM_A_S", 5);
  DeclareField<TStringField>(dbf, "POM_S_S", 5);
  DeclareField<TStringField>(dbf, "ODPOVEDI", 254);
}

// A results table "Dbf1" in `folder`, declared as the data module declares it.
inline std::unique_ptr<TDbf> ResultsTable(const TScratchFolder& folder, const std::string& table_name = "TARNI.DBF") {
  auto dbf = std::make_unique<TDbf>();
  dbf->SetName("Dbf1");
  dbf->SetFilePath(FolderPath(folder));
  dbf->SetTableName(table_name);
  filetest::AddResultsSchema(dbf->FieldDefs());
  DeclareResultsFields(*dbf);
  return dbf;
}

// A closed dataset "Dbf2" on `table_name` in `folder`, without declared fields.
inline std::unique_ptr<TDbf> DataSetOn(const TScratchFolder& folder, const std::string& table_name) {
  auto dbf = std::make_unique<TDbf>();
  dbf->SetName("Dbf2");
  dbf->SetFilePath(FolderPath(folder));
  dbf->SetTableName(table_name);
  return dbf;
}

// A two-column table (NAME C10, NUM N5) whose records hold the given names and their
// 1-based numbers; names listed in `deleted` are marked deleted. Returned closed.
inline std::unique_ptr<TDbf> NamesTable(const TScratchFolder& folder, const std::vector<std::string>& names,
                                        const std::vector<std::string>& deleted = {},
                                        const std::string& table_name = "NAMES.DBF") {
  auto dbf = DataSetOn(folder, table_name);
  dbf->FieldDefs().Add("NAME", TFieldType::ftString, 10, false);
  dbf->FieldDefs().Add("NUM", TFieldType::ftInteger, 5, false);
  dbf->createTable();
  dbf->open();
  for (size_t i = 0; i < names.size(); ++i) {
    dbf->startAppend();
    dbf->fieldNamed("NAME").writeString(names[i]);
    dbf->fieldNamed("NUM").writeInteger(static_cast<int32_t>(i + 1));
    dbf->post();
  }
  for (const std::string& name : deleted) {
    dbf->moveFirst();
    while (dbf->fieldNamed("NAME").readString() != name) dbf->moveNext();
    dbf->deleteRecord();
  }
  dbf->close();
  return dbf;
}

// One blank record of a table freshly created from `defs`, as a dataset would hold it,
// for field objects bound by hand.
class TFakeDataSet : public TFieldDataSet {
 public:
  TFakeDataSet(const std::string& path, const TDbfFieldDefs& defs)
      : file_(std::make_unique<TDbfFile>(path, TOpenOptions{.creation = TCreation::Replace})) {
    file_->FormatTable(defs);
    if (file_->FieldDefs().Count() == 0) file_->LoadFieldDefs();
    record_.assign(static_cast<size_t>(file_->RecordSize()), ' ');
  }

  bool GetFieldData(const TField& field, TFieldType type, void* dest) const override {
    if (empty || field.FieldNo() < 1) return false;
    return file_->GetFieldValue(field.FieldNo() - 1, type, dest, record_.data());
  }
  void SetFieldData(TField& field, TFieldType type, const void* source) override {
    file_->SetFieldValue(field.FieldNo() - 1, type, record_.data(), source);
    changed_fields.push_back(field.FieldName());
  }
  bool CanModify() const override { return true; }

  // Binds `field` by hand to column `field_no` (1-based) of this record.
  void Bind(TField& field, const char* name, int field_no, int32_t size = 0) {
    field.SetFieldName(name);
    field.SetFieldNo(field_no);
    if (size > 0) field.SetSize(size);
    field.SetDataSet(this);
  }
  void FieldLayoutChanged(TField& field) override { layout_changes.push_back(field.FieldName()); }

  // The column bytes of field `field_no` (1-based).
  std::string Column(int field_no) const {
    const TDbfFieldDef& def = file_->FieldDefs().Items(field_no - 1);
    return std::string(reinterpret_cast<const char*>(record_.data()) + def.Offset(), static_cast<size_t>(def.Size()));
  }
  void SetColumn(int field_no, const std::string& bytes) {
    const TDbfFieldDef& def = file_->FieldDefs().Items(field_no - 1);
    std::memcpy(record_.data() + def.Offset(), bytes.data(), bytes.size());
  }

  bool empty = false;
  std::vector<std::string> changed_fields;
  std::vector<std::string> layout_changes;

 private:
  std::unique_ptr<TDbfFile> file_;
  std::vector<uint8_t> record_;
};

// The message of the EDatabaseError that `action` throws, or "no error".
inline std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDatabaseError& error) {
    return error.what();
  }
  return "no error";
}

// The NAME of the current record, or "" on an empty dataset.
inline std::string CurrentName(const TDbf& dbf) { return dbf.findField("NAME")->readString(); }

// A data link that writes every hook it receives into a log.
class TRecordingLink : public TDataLink {
 public:
  explicit TRecordingLink(std::string label = "", std::vector<std::string>* log = nullptr)
      : label_(std::move(label)), log_(log != nullptr ? log : &own_log_) {}

  std::vector<std::string>& Log() { return *log_; }
  // Rows the link shows, by NAME, first row first.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    TDbf& dbf = *DataSet();
    const int active = dbf.activeBufferIndex();
    for (int row = 0; row < RecordCount(); ++row) {
      SetActiveRecord(row);
      rows.push_back(CurrentName(dbf));
    }
    dbf.setActiveBufferIndex(active);
    return rows;
  }

 protected:
  void onActiveChanged() override { Write("active " + std::to_string(Active())); }
  void onEditingChanged() override { Write("editing " + std::to_string(Editing())); }
  void onRecordChanged(TField* field) override {
    Write("record " + (field != nullptr ? field->FieldName() : std::string("-")));
  }
  void onDataSetChanged() override { Write("dataset"); }
  void onScrolled(int distance) override { Write("scrolled " + std::to_string(distance)); }
  void onLayoutChanged() override { Write("layout"); }
  void onWriteBack() override { Write("writeback"); }
  void onFocusField(TField* field) override { Write("focus " + field->FieldName()); }

 private:
  void Write(const std::string& entry) { log_->push_back(label_.empty() ? entry : label_ + " " + entry); }

  std::string label_;
  std::vector<std::string> own_log_;
  std::vector<std::string>* log_;
};

}  // namespace dbf::testing
