// What the program's tests share: the whole set of windows created per test, as the
// program creates them, on a private copy of examples/ that is the current folder (as
// ./run makes it), with results tables going to a private program folder, scripted
// dialogs, and the examiner's gestures (menu commands, clicks on pictures and buttons);
// the folders also alone, for the parts of the program tested without windows.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QByteArray>
#include <QImage>
#include <QPushButton>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "ScriptedDialogs.h"
#include "Startup.h"
#include "TDBNavigator.h"

namespace app::testing {

// The program's folders without its windows: a private copy of examples/ as the current
// folder and a private program folder for the results tables.
class TProgramFolders : public ::testing::Test {
 protected:
  TProgramFolders();
  ~TProgramFolders() override;

  // A file of the examples copy, the program's current folder.
  QString Example(const QString& name) const;
  // A file of the program's own folder, where bare table names resolve.
  std::string InProgramFolder(const std::string& name) const;

  dbf::filetest::TScratchFolder scratch;

 private:
  std::string previous_folder_;
};

class TProgramTest : public TProgramFolders {
 protected:
  TProgramTest();
  ~TProgramTest() override;

  // "Nataženi dat" / "ini souboru" with the file dialog answering `file` (nothing: Cancel).
  void LoadConfiguration(const std::optional<QString>& file);
  // "DBF probandů", then "Soubor DBF" choosing `file`.
  void OpenSubjectsTable(const QString& file);
  // Mouse down and up on the template at image pixel (x, y).
  void ClickTemplate(int x, int y);
  // A click in the middle of picture `picture`'s cell.
  void ClickPicture(int picture);
  void ClickNavigator(dbf::TNavigateBtn button);
  static void Click(QAbstractButton* button);
  static void Trigger(QAction* action);

  // The boxes shown so far but the file dialogs: messages, errors, confirmations.
  std::vector<dbf::testing::TScriptedDialogs::TShown> Boxes() const;

  // The texts of the evaluation panel's six value labels.
  static std::vector<QString> ResultTexts();
  // The visible buttons of the main window's navigator bar.
  static std::vector<dbf::TNavigateBtn> VisibleNavigatorButtons();
  // The texts of the four identity boxes.
  static std::vector<QString> IdentityTexts();

  // Every record of a table, each field in its text form.
  static std::vector<std::vector<std::string>> RecordsOf(const std::string& path);
  // The record count of a table's header on disk.
  static uint32_t HeaderRecordCount(const std::string& path);

  dbf::testing::TScriptedDialogs dialogs;
};

void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
// The bytes of `image` written as a BMP file.
QByteArray BmpBytes(const QImage& image);

}  // namespace app::testing
