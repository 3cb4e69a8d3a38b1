// TDataModule3, the data module: the results table Dbf1 (declared with the results
// schema and its eleven field objects, named "Tarni2.dbf" until a configuration names
// another) with DataSource1, and the subjects table Dbf2 (no schema of its own; its
// fields are whatever the chosen file holds; never created) with DataSource2. Both
// start closed.
#pragma once

#include <QObject>

#include "DbfDataSource.h"
#include "ResultsTable.h"
#include "dbf.h"

class TDataModule3 : public QObject {
  Q_OBJECT

 public:
  explicit TDataModule3(QObject* parent = nullptr);

  // Closes both tables at the end of the run; closing writes a table's header, so it may
  // fail, which the tables' own destructors could not report.
  void CloseTables();

  // A results record is being inserted or edited: leaving it now would drop it.
  bool ResultsRecordInProgress() const;

  dbf::TDbf Dbf1;
  dbf::TDataSource DataSource1;
  dbf::TDbf Dbf2;
  dbf::TDataSource DataSource2;
  // Dbf1's declared field objects.
  tarni::ResultsFields Dbf1Fields;
};

// The data module of the run; created at start-up after Form2.
extern TDataModule3* DataModule3;
