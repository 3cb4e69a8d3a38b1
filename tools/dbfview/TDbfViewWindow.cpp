// The table viewer's window and how it opens its table.
#include "TDbfViewWindow.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QVBoxLayout>

#include "DbfDialogs.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TableExport.h"

namespace {

using dbf::TNavButtonFlag;

constexpr QSize kDefaultSize(800, 500);
constexpr int kMargin = 4;
const char* const kReadOnlyMark = " [read-only]";
// A read-only table can only be looked through.
constexpr dbf::TButtonSet kReadOnlyButtons{TNavButtonFlag::nbFirst, TNavButtonFlag::nbPrior, TNavButtonFlag::nbNext,
                                           TNavButtonFlag::nbLast};

// The export formats in the save dialog, the first one suggested.
const QStringList kExportFilters{QStringLiteral("Excel workbook (*.xlsx)"), QStringLiteral("SPSS data file (*.sav)"),
                                 QStringLiteral("CSV (*.csv)"), QStringLiteral("JSON (*.json)")};

}  // namespace

TDbfViewWindow::TDbfViewWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DbfView"));
  resize(kDefaultSize);
  table_.SetOpenMode(dbf::TDbfOpenMode::omNormal);
  source_.SetDataSet(&table_);
  previous_notice_handler_ = dbf::SetDbfNoticeHandler([](const std::string& text) {
    dbf::Dialogs().message(QGuiApplication::applicationDisplayName(), QString::fromStdString(text));
  });

  navigator_ = new dbf::TDBNavigator(this);
  navigator_->setObjectName(QStringLiteral("DBNavigator1"));
  navigator_->SetShowHint(true);
  navigator_->SetDataSource(&source_);
  grid_ = new dbf::TDBGrid(this);
  grid_->setObjectName(QStringLiteral("DBGrid1"));
  grid_->SetDataSource(&source_);

  auto* menu_bar = new QMenuBar(this);
  menu_bar->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* file_menu = menu_bar->addMenu(QStringLiteral("File"));
  export_action_ = file_menu->addAction(QStringLiteral("Export…"));
  connect(export_action_, &QAction::triggered, this, &TDbfViewWindow::exportTable);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(kMargin);
  layout->addWidget(navigator_, 0, Qt::AlignLeft);
  layout->addWidget(grid_, 1);
  grid_->setFocus();
}

TDbfViewWindow::~TDbfViewWindow() {
  // The controls leave the data source before it and the table go.
  delete grid_;
  delete navigator_;
  dbf::SetDbfNoticeHandler(std::move(previous_notice_handler_));
}

bool TDbfViewWindow::openTable(const QString& path, bool read_only) {
  const QString full_path = QFileInfo(path).absoluteFilePath();
  const bool opened = dbf::RunReported([&] {
    table_.close();
    table_.SetReadOnly(read_only);
    table_.SetTableName(full_path.toStdString());
    table_.open();
  });
  // A table that cannot be written is shown read-only, and says why once.
  if (opened && !table_.canModify() && !read_only) {
    dbf::Dialogs().message(QGuiApplication::applicationDisplayName(),
                           QString::fromStdString(table_.cannotModifyReason()));
    read_only = true;
  }
  setWindowTitle(read_only ? full_path + QLatin1String(kReadOnlyMark) : full_path);
  navigator_->SetVisibleButtons(read_only ? kReadOnlyButtons : dbf::kAllNavButtons);
  dbf::TDBGridOptions options = grid_->Options();
  grid_->SetOptions(options.setFlag(dbf::dgEditing, !read_only));
  return opened;
}

void TDbfViewWindow::exportTable() {
  if (!table_.Active()) return;
  const QFileInfo table_file(QString::fromStdString(table_.FullName()));
  const std::optional<QString> out = dbf::Dialogs().chooseSaveFile(
      {QStringLiteral("Export"), table_file.absolutePath() + QLatin1Char('/') + table_file.completeBaseName() + ".xlsx",
       kExportFilters});
  if (!out) return;
  // The dialog asked before an existing file was chosen.
  dbf::RunReported([&] { dbftool::ExportTableFile(table_.FullName(), QFile::encodeName(*out).toStdString(), true); });
}
