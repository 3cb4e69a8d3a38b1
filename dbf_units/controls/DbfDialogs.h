// The dialogs of the bound controls and of the windows above them: plain message boxes,
// the error report, the OK/Cancel confirmation and the file-open and file-save dialogs. Everything modal
// goes through the one installed TDialogs, so tests install a scripted one that records
// what was shown and answers from a queue, and nothing ever blocks on a modal window.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace dbf {

// What a file-open dialog starts with.
struct TOpenFileRequest {
  // The name in the dialog's name box. A wildcard pattern ("*.ini", "*.DBF") lists only
  // the names that match it, whatever their letter case.
  QString file_name;
  // Pairs of description and pattern separated by "|": "|*.ini" is one entry with an
  // empty description. Empty: no filter list.
  QString filter;
  // The folder the dialog opens in; "." is the current folder.
  QString initial_dir = QStringLiteral(".");
  // False: a typed name of a file that does not exist yet is accepted.
  bool must_exist = false;
};

// What a file-save dialog starts with.
struct TSaveFileRequest {
  QString title;
  // The suggested file's path; the dialog opens in its folder.
  QString file_name;
  // "description (*.ext)" entries; a name typed without an extension gets the one of the
  // chosen entry, and choosing an entry changes the extension of the name in the box.
  QStringList filters;
};

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // A plain message box with an OK button.
  virtual void message(const QString& title, const QString& text) = 0;
  // A message box with the error icon and an OK button.
  virtual void error(const QString& title, const QString& text) = 0;
  // "OK" (the default) and "Cancel"; closing the box counts as "Cancel". True for "OK".
  virtual bool confirm(const QString& title, const QString& text) = 0;
  // The chosen file's full path, or nothing when the dialog was cancelled.
  virtual std::optional<QString> chooseFile(const TOpenFileRequest& request) = 0;
  // The full path to save to, or nothing when the dialog was cancelled. Choosing a file
  // that exists asks whether to replace it first.
  virtual std::optional<QString> chooseSaveFile(const TSaveFileRequest& request) = 0;
};

// The dialogs on QMessageBox and QFileDialog.
class TWidgetDialogs : public TDialogs {
 public:
  void message(const QString& title, const QString& text) override;
  void error(const QString& title, const QString& text) override;
  bool confirm(const QString& title, const QString& text) override;
  std::optional<QString> chooseFile(const TOpenFileRequest& request) override;
  std::optional<QString> chooseSaveFile(const TSaveFileRequest& request) override;

  // The box message (NoIcon), error (Critical) and confirm (Question, `with_cancel`)
  // show, built but not shown: the text is plain text, the buttons "OK" (the default)
  // and "Cancel".
  static std::unique_ptr<QMessageBox> buildMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                                                      bool with_cancel, QWidget* parent = nullptr);
  // The file dialogs chooseFile and chooseSaveFile run, built but not shown.
  static std::unique_ptr<QFileDialog> buildFileDialog(const TOpenFileRequest& request, QWidget* parent = nullptr);
  static std::unique_ptr<QFileDialog> buildSaveDialog(const TSaveFileRequest& request, QWidget* parent = nullptr);
};

// The question the navigator bar and the grid ask before they delete a record: "Delete
// record?" titled "Confirm". True for "OK".
bool ConfirmRecordDeletion();

// The installed dialogs: TWidgetDialogs until another is installed.
TDialogs& Dialogs();
// Installs `dialogs` (not owned; null restores TWidgetDialogs) and returns the one it replaces.
TDialogs* SetDialogs(TDialogs* dialogs);

// Runs the installed file-open dialog. A chosen file's folder becomes the current working
// directory, so bare names typed later resolve next to it. Throws std::runtime_error when
// that folder cannot be entered.
std::optional<QString> OpenFileDialog(const TOpenFileRequest& request);

// The error report: where an error of an action started by a control or a window ends.
// By default an error box titled with the application's display name.
using TErrorReport = std::function<void(const QString& message)>;
// Installs `report` (empty: the default) and returns the one it replaces.
TErrorReport SetErrorReport(TErrorReport report);
void ReportError(const QString& message);

// Runs `action`; an exception it throws goes to the error report instead of unwinding
// through Qt's frames, with the system's reason when a table file's system call failed
// (ErrorText). Returns whether the action completed.
bool RunReported(const std::function<void()>& action);

// A message as the error report shows it: a "." is added when the text is not empty and
// its last character sorts after ".".
QString WithClosingPeriod(const QString& message);

}  // namespace dbf
