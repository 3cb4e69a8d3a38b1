#include "Startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <csignal>

#include "DbfDialogs.h"
#include "DbfErrors.h"
#include "ProgramConfiguration.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "WindowParts.h"

namespace app {

namespace {

void ReportProgramError(const QString& message) {
  dbf::Dialogs().error(ApplicationTitle(), dbf::WithClosingPeriod(message));
}

// Header findings break their lines with CR, as the systems the tables come from did.
void ShowHeaderNotice(const std::string& text) {
  QString notice = QString::fromStdString(text);
  notice.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  dbf::Dialogs().message(ApplicationTitle(), notice);
}

// The file dialog and the standard buttons speak Czech; the program's own texts are
// Czech already.
void InstallCzechTranslation(QApplication& application) {
  static QTranslator translator;
  static const bool installed =
      translator.load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
      application.installTranslator(&translator);
  Q_UNUSED(installed);
}

template <typename Window>
void Destroy(Window*& window) {
  delete window;
  window = nullptr;
}

}  // namespace

void SetUpApplication(QApplication& application) {
  // A write past a file-size limit then fails with the table's write error instead of
  // ending the program mid-record.
  std::signal(SIGXFSZ, SIG_IGN);
  dbf::SetErrorReport(ReportProgramError);
  dbf::SetDbfNoticeHandler(ShowHeaderNotice);
  InstallCzechTranslation(application);
}

void CreateProgramWindows() {
  ResetConfiguration();
  // The main window binds its controls to the data module's sources as soon as the data
  // module exists; until then they are created unbound.
  // The secondary windows belong to the main window: non-modal dialog windows with the main
  // window as their parent, which a window manager keeps above it (X11 marks only dialog
  // and tool windows as transient), so a click on the full-screen main window never
  // buries them.
  Form1 = new TForm1();
  Form2 = new TForm2(Form1);
  DataModule3 = new TDataModule3();
  Form1->BindToDataModule();
  Form4 = new TForm4(Form1);
  Form5 = new TForm5(Form1);
}

void DestroyProgramWindows() {
  if (DataModule3 != nullptr) dbf::RunReported([] { DataModule3->CloseTables(); });
  Destroy(Form5);
  Destroy(Form4);
  Destroy(DataModule3);
  Destroy(Form2);
  Destroy(Form1);
}

void StartProgram(QApplication& application) {
  SetUpApplication(application);
  CreateProgramWindows();
  // The main window is a tool window, which does not count when Qt looks for the last
  // window closed: the program ends when the main window closes, and only then.
  application.setQuitOnLastWindowClosed(false);
  QObject::connect(Form1, &TForm1::ProgramEnded, &application, &QCoreApplication::quit);
  Form1->show();
}

int RunProgram(QApplication& application) {
  StartProgram(application);
  const int status = application.exec();
  DestroyProgramWindows();
  return status;
}

}  // namespace app
