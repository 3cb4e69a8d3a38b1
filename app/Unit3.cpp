#include "Unit3.h"

TDataModule3* DataModule3 = nullptr;

namespace {

void DeclareTable(dbf::TDbf& table, const char* name) {
  table.SetName(name);
  table.SetOpenMode(dbf::TDbfOpenMode::omAutoCreate);
  table.SetStorage(dbf::TDbfStorage::stoFile);
  table.SetShowDeleted(false);
}

}  // namespace

TDataModule3::TDataModule3(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("DataModule3"));
  DeclareTable(Dbf1, "Dbf1");
  Dbf1.SetTableName(tarni::initial_results_table_name);
  Dbf1Fields = tarni::declare_results_schema(Dbf1);
  DataSource1.SetDataSet(&Dbf1);
  DeclareTable(Dbf2, "Dbf2");
  // A subjects table is prepared elsewhere: a name typed for a missing one is an error,
  // never a new empty table that every later open refuses.
  Dbf2.SetOpenMode(dbf::TDbfOpenMode::omNormal);
  DataSource2.SetDataSet(&Dbf2);
}

void TDataModule3::CloseTables() {
  Dbf1.close();
  Dbf2.close();
}

bool TDataModule3::ResultsRecordInProgress() const {
  return Dbf1.state() == dbf::TDataSetState::StateInsert || Dbf1.state() == dbf::TDataSetState::StateEdit;
}
