// The table viewer's window: a menu "File" with "Export…", a navigator bar with every
// button and a grid that fills the rest of the window, over one table named on the
// command line. Header warnings and errors appear in message boxes through the dialog
// layer, so the window can be driven in-process with scripted dialogs.
#pragma once

#include <QString>
#include <QWidget>

class QAction;

#include "DbfDataSource.h"
#include "DbfErrors.h"
#include "dbf.h"

namespace dbf {
class TDBGrid;
class TDBNavigator;
}  // namespace dbf

class TDbfViewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TDbfViewWindow(QWidget* parent = nullptr);
  ~TDbfViewWindow() override;

  // Opens the table at `path`, a relative path being taken against the current folder
  // (not the program's folder). A missing file is an error, never a new empty table.
  // `read_only` opens the file read-only and hides the editing buttons; a table that
  // cannot be written (TDbf::canModify) is shown so too, after a message box that says
  // why. An error goes to the error report; returns whether the table is open.
  bool openTable(const QString& path, bool read_only);

  // "File" / "Export…": a save dialog offering the export formats, then the table's
  // stored records written to the chosen file (see TableExport.h). An error goes to the
  // error report.
  void exportTable();

  dbf::TDbf& Table() { return table_; }
  QAction& ExportAction() const { return *export_action_; }
  dbf::TDBGrid& Grid() const { return *grid_; }
  dbf::TDBNavigator& Navigator() const { return *navigator_; }

 private:
  dbf::TDbf table_;
  dbf::TDataSource source_;
  dbf::TDbfNoticeHandler previous_notice_handler_;
  dbf::TDBNavigator* navigator_ = nullptr;
  dbf::TDBGrid* grid_ = nullptr;
  QAction* export_action_ = nullptr;
};
