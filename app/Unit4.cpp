#include "Unit4.h"

#include <QAction>
#include <QMenuBar>
#include <cerrno>

#include "DbfErrors.h"
#include "DbfFileIO.h"
#include "ProgramFiles.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "Unit3.h"
#include "WindowParts.h"

TForm4* Form4 = nullptr;

namespace {

const QString kCaptionAtStart = QStringLiteral("Form4");
const QString kOpenTableCaption = QStringLiteral("Soubor DBF");
// The dialog first lists only the names with this extension, whatever their letter case.
const QString kTablePattern = QStringLiteral("*.DBF");

const QSize kClientSize(536, 328);

}  // namespace

TForm4::TForm4(QWidget* parent)
    : QMainWindow(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  using dbf::TNavButtonFlag;
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(kCaptionAtStart);
  setFont(app::DefaultWindowFont());

  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  SouborDBF1 = menuBar()->addAction(kOpenTableCaption, this, app::Reported(this, &TForm4::SouborDBF1Click));
  SouborDBF1->setObjectName(QStringLiteral("SouborDBF1"));

  auto* client = new QWidget(this);
  setCentralWidget(client);

  DBGrid1 = new dbf::TDBGrid(client);
  app::NameControl(DBGrid1, "DBGrid1");
  DBGrid1->setGeometry(16, 24, 497, 233);
  DBGrid1->SetDataSource(&DataModule3->DataSource2);

  DBNavigator1 = new dbf::TDBNavigator(client);
  DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
  DBNavigator1->setGeometry(96, 272, 240, 41);
  DBNavigator1->SetVisibleButtons({TNavButtonFlag::nbFirst, TNavButtonFlag::nbPrior, TNavButtonFlag::nbNext,
                                   TNavButtonFlag::nbLast, TNavButtonFlag::nbCancel, TNavButtonFlag::nbRefresh});
  DBNavigator1->SetShowHint(false);
  DBNavigator1->SetDataSource(&DataModule3->DataSource2);

  move(192, 107);
  resize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());
}

void TForm4::SouborDBF1Click() {
  OpenDialog1.file_name = kTablePattern;
  const std::optional<QString> chosen = dbf::OpenFileDialog(OpenDialog1);
  if (!chosen) return;
  dbf::TDbf& subjects = DataModule3->Dbf2;
  subjects.close();
  subjects.SetTableName(chosen->toStdString());
  setWindowTitle(*chosen);
  if (!app::ExistingFile(*chosen)) {
    throw app::EFileError(
        dbf::FileErrorMessage(dbf::TFileAction::Open, chosen->toStdString(), dbf::FileErrorReason(ENOENT)));
  }
  subjects.open();
}
