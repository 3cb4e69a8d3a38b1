// Dialogs for tests: every box and file dialog is recorded instead of shown, and answered
// from queues filled by the test. A question the test did not answer fails the test and is
// answered "Cancel" (or no file), so nothing ever waits for a person.
#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "DbfDialogs.h"

namespace dbf::testing {

class TScriptedDialogs : public TDialogs {
 public:
  struct TShown {
    QString kind;  // "message", "error", "confirm", "file" or "save"
    QString title;
    QString text;  // for "file" and "save": the request's file name
    bool operator==(const TShown&) const = default;
  };

  // Installs itself, and the default error report; the destructor restores what was before.
  TScriptedDialogs();
  ~TScriptedDialogs() override;
  TScriptedDialogs(const TScriptedDialogs&) = delete;
  TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

  void message(const QString& title, const QString& text) override;
  void error(const QString& title, const QString& text) override;
  bool confirm(const QString& title, const QString& text) override;
  std::optional<QString> chooseFile(const TOpenFileRequest& request) override;
  std::optional<QString> chooseSaveFile(const TSaveFileRequest& request) override;

  // Answers for the next confirmations and file dialogs (open and save), in order.
  std::deque<bool> confirm_answers;
  std::deque<std::optional<QString>> file_answers;

  std::vector<TShown> shown;
  std::vector<TOpenFileRequest> file_requests;
  std::vector<TSaveFileRequest> save_requests;
  // The texts of the error boxes shown so far.
  std::vector<QString> Errors() const;

 private:
  std::optional<QString> NextFileAnswer(const QString& file_name);

  TDialogs* previous_;
  TErrorReport previous_report_;
};

}  // namespace dbf::testing
