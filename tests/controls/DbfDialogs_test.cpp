// The dialog layer: the real file dialog's patterns ignore letter case and take names of
// missing files where allowed; the save dialog gives a name the extension of the chosen
// format; a chosen file's folder becomes the current folder; errors of actions reach the
// report with the closing period; message boxes show plain text.
#include "DbfDialogs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <stdexcept>

#include "ScriptedDialogs.h"
#include "TempFolder.h"

namespace dbf {
namespace {

using testsupport::TTempFolder;

QString PathOf(const TTempFolder& folder) { return QString::fromStdString(folder.Folder()); }
QString PathIn(const TTempFolder& folder, const char* name) { return QString::fromStdString(folder / name); }

void Touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// The names the dialog lists in its folder, once its folder has been read: the model reads
// a folder on a thread of its own and may add the rows in parts, so the first row does
// not mean the last.
QStringList ListedNames(QFileDialog& dialog) {
  auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
  auto* files = dialog.findChild<QFileSystemModel*>();
  // The model's signals arrive through the event loop, so none has been missed yet.
  const QSignalSpy loaded(files, &QFileSystemModel::directoryLoaded);
  const auto folder_loaded = [&] {
    return std::any_of(loaded.begin(), loaded.end(),
                       [&](const QList<QVariant>& signal) { return signal.at(0).toString() == files->rootPath(); });
  };
  QStringList names;
  EXPECT_TRUE(QTest::qWaitFor(folder_loaded, 5000));
  for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
    names << list->model()->index(row, 0, list->rootIndex()).data().toString();
  }
  names.sort();
  return names;
}

TEST(DbfDialogsTest, FileDialogPatternsIgnoreLetterCase) {
  const TTempFolder folder;
  for (const char* name : {"SK_00123.dbf", "RESULTS.DBF", "prikl1.ini", "TEST.INI", "notes.txt"}) {
    Touch(PathIn(folder, name));
  }
  struct Case {
    TOpenFileRequest request;
    QStringList listed;
  };
  const Case cases[] = {
      {{QStringLiteral("*.DBF"), QString(), PathOf(folder)}, {"RESULTS.DBF", "SK_00123.dbf"}},
      {{QStringLiteral("*.ini"), QStringLiteral("|*.ini"), PathOf(folder)}, {"TEST.INI", "prikl1.ini"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request.file_name.toStdString());
    std::unique_ptr<QFileDialog> dialog = TWidgetDialogs::buildFileDialog(c.request);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile) << "a typed name of a new file is taken";
    EXPECT_EQ(ListedNames(*dialog), c.listed);
  }
  TOpenFileRequest existing{QStringLiteral("*.DBF"), QString(), PathOf(folder), true};
  EXPECT_EQ(TWidgetDialogs::buildFileDialog(existing)->fileMode(), QFileDialog::ExistingFile);
}

TEST(DbfDialogsTest, SaveDialogGivesTheNameTheExtensionOfTheChosenFormat) {
  const TTempFolder folder;
  const TSaveFileRequest request{QStringLiteral("Export"),
                                 PathIn(folder, "VYSLEDKY.xlsx"),
                                 {QStringLiteral("Excel workbook (*.xlsx)"), QStringLiteral("SPSS data file (*.sav)")}};
  const std::unique_ptr<QFileDialog> dialog = TWidgetDialogs::buildSaveDialog(request);
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite)) << "an existing file is asked about";
  EXPECT_EQ(dialog->windowTitle(), "Export");
  EXPECT_EQ(dialog->directory().absolutePath(), QDir(PathOf(folder)).absolutePath());
  EXPECT_EQ(dialog->defaultSuffix(), "xlsx");
  EXPECT_EQ(dialog->selectedFiles().value(0), PathIn(folder, "VYSLEDKY.xlsx"));

  emit dialog->filterSelected(request.filters[1]);
  EXPECT_EQ(dialog->defaultSuffix(), "sav");
  EXPECT_EQ(dialog->selectedFiles().value(0), PathIn(folder, "VYSLEDKY.sav"));
}

TEST(DbfDialogsTest, ChosenFileMakesItsFolderCurrent) {
  const QString before = QDir::currentPath();
  const TTempFolder folder;
  testing::TScriptedDialogs dialogs;
  dialogs.file_answers = {PathIn(folder, "new.ini"), std::nullopt};
  EXPECT_EQ(OpenFileDialog({QStringLiteral("*.ini"), QString()}), PathIn(folder, "new.ini"));
  EXPECT_EQ(QDir::currentPath(), QDir(PathOf(folder)).canonicalPath());
  EXPECT_EQ(OpenFileDialog({QStringLiteral("*.ini"), QString()}), std::nullopt);
  EXPECT_EQ(QDir::currentPath(), QDir(PathOf(folder)).canonicalPath()) << "a cancel leaves it";
  ASSERT_TRUE(QDir::setCurrent(before));
}

TEST(DbfDialogsTest, ErrorsOfActionsReachTheReportWithAClosingPeriod) {
  testing::TScriptedDialogs dialogs;
  EXPECT_FALSE(RunReported([] { throw std::runtime_error("Dbf1: Field 'X' not found"); }));
  EXPECT_FALSE(RunReported([] { throw std::runtime_error("Hotovo."); }));
  EXPECT_FALSE(RunReported([] { throw std::runtime_error("Soubor chybí!"); }));
  EXPECT_FALSE(RunReported([] { throw std::runtime_error("Chyba č"); }));
  EXPECT_TRUE(RunReported([] {}));
  EXPECT_EQ(dialogs.Errors(), (std::vector<QString>{"Dbf1: Field 'X' not found.", "Hotovo.", "Soubor chybí!",
                                                    QString::fromUtf8("Chyba č.")}));
  EXPECT_EQ(WithClosingPeriod(QString()), QString());
}

TEST(DbfDialogsTest, MessageBoxesShowTheirTextAsTyped) {
  const auto box = TWidgetDialogs::buildMessageBox(QMessageBox::Question, "Vyhod_tarni", "<b>10.BMP", true);
  EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->textFormat(), Qt::PlainText);
}

}  // namespace
}  // namespace dbf
