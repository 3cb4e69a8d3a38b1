// TForm4, the subjects browser: a subjects table chosen with "Soubor DBF" and shown in a
// grid with a navigator bar, so that the examiner can move to the subject who is scored
// next. The main window's identity copy reads the current record of this table.
#pragma once

#include <QMainWindow>

#include "DbfDialogs.h"

class QAction;

namespace dbf {
class TDBGrid;
class TDBNavigator;
}  // namespace dbf

class TForm4 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);

  QAction* SouborDBF1;
  dbf::TDBGrid* DBGrid1;
  dbf::TDBNavigator* DBNavigator1;
  // The dialog's settings: no filter list, the current folder.
  dbf::TOpenFileRequest OpenDialog1;

  void SouborDBF1Click();
};

// The subjects browser of the run; created hidden at start-up after the data module.
extern TForm4* Form4;
