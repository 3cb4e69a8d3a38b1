// TForm2, the configuration editor: configuration files opened, edited as plain text and
// saved, a new one started from the sample, and a test display of the nine values the
// loader would read. The loader of the main window uses its file dialog, file-name box,
// text box and value labels as its working area (the editor's view of a load), so the
// editor always shows the configuration loaded or edited last.
#pragma once

#include <QMainWindow>
#include <array>

#include "ConfigurationLoadViews.h"
#include "DbfDialogs.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;

class TForm2 : public QMainWindow, public app::TConfigurationEditorView {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  QLabel* Label10;
  QLineEdit* Edit1;
  QPlainTextEdit* Memo1;
  // Never shown: holds the sample configuration that "Nový" offers.
  QPlainTextEdit* Memo2;
  // Label1 to Label9: value label k shows the value of configuration line k.
  std::array<QLabel*, 9> ValueLabels;
  // The dialog's settings: "*.ini", filter "|*.ini", the current folder.
  dbf::TOpenFileRequest OpenDialog1;

  QMenu* SouborINI1;
  QAction* otevt1;
  QAction* uloit1;
  QAction* Nov2;
  QAction* Testkonfig1;

  void otevt1Click();
  void uloit1Click();
  void Nov2Click();
  void Testkonfig1Click();

  // Label k (1 to 9) shows `value`.
  void ShowValue(size_t line, const QString& value) override;
  // Runs OpenDialog1 with "*.ini" in its name box; a chosen file becomes the configuration
  // file chosen last. Returns that name, the earlier one when the dialog is cancelled.
  QString ChooseConfigurationFile() override;
  // Edit1 and Memo1.
  void ShowFileName(const QString& name) override;
  void ShowConfigurationText(const QString& text) override;
  // The text box's text as typed, a no-break space included; lines end with "\n".
  QString TypedText() const;
};

// The configuration editor of the run; created hidden at start-up.
extern TForm2* Form2;
