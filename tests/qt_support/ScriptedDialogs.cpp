#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace dbf::testing {

TScriptedDialogs::TScriptedDialogs() : previous_(SetDialogs(this)), previous_report_(SetErrorReport(nullptr)) {}

TScriptedDialogs::~TScriptedDialogs() {
  SetDialogs(previous_);
  SetErrorReport(previous_report_);
}

void TScriptedDialogs::message(const QString& title, const QString& text) {
  shown.push_back({QStringLiteral("message"), title, text});
}

void TScriptedDialogs::error(const QString& title, const QString& text) {
  shown.push_back({QStringLiteral("error"), title, text});
}

bool TScriptedDialogs::confirm(const QString& title, const QString& text) {
  shown.push_back({QStringLiteral("confirm"), title, text});
  if (confirm_answers.empty()) {
    ADD_FAILURE() << "unanswered confirmation: " << text.toStdString();
    return false;
  }
  const bool answer = confirm_answers.front();
  confirm_answers.pop_front();
  return answer;
}

std::optional<QString> TScriptedDialogs::chooseFile(const TOpenFileRequest& request) {
  shown.push_back({QStringLiteral("file"), QString(), request.file_name});
  file_requests.push_back(request);
  return NextFileAnswer(request.file_name);
}

std::optional<QString> TScriptedDialogs::chooseSaveFile(const TSaveFileRequest& request) {
  shown.push_back({QStringLiteral("save"), request.title, request.file_name});
  save_requests.push_back(request);
  return NextFileAnswer(request.file_name);
}

std::optional<QString> TScriptedDialogs::NextFileAnswer(const QString& file_name) {
  if (file_answers.empty()) {
    ADD_FAILURE() << "unanswered file dialog: " << file_name.toStdString();
    return std::nullopt;
  }
  const std::optional<QString> answer = file_answers.front();
  file_answers.pop_front();
  return answer;
}

std::vector<QString> TScriptedDialogs::Errors() const {
  std::vector<QString> errors;
  for (const TShown& box : shown) {
    if (box.kind == QLatin1String("error")) errors.push_back(box.text);
  }
  return errors;
}

}  // namespace dbf::testing
