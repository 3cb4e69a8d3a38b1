// The messages that several places of the table library build, and the notice handler
// through which it reports header findings that are not errors. The program installs a
// message box; the default prints to standard error.
#include "DbfErrors.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "DbfFileIO.h"

namespace dbf {

namespace {

const char* ActionWord(TFileAction action) {
  switch (action) {
    case TFileAction::Open:
      return "open";
    case TFileAction::Create:
      return "create";
    case TFileAction::Read:
      return "read";
    case TFileAction::Write:
      return "write";
    case TFileAction::Lock:
      return "lock";
    case TFileAction::Close:
      return "close";
  }
  return "use";
}

// The notices break their lines with '\r' (as the message box shows them); a terminal
// would overwrite the line instead, so the default handler prints '\n'.
void PrintNoticeToStandardError(const std::string& text) {
  std::string lines = text;
  std::replace(lines.begin(), lines.end(), '\r', '\n');
  std::cerr << lines << '\n';
}

TDbfNoticeHandler& CurrentNoticeHandler() {
  static TDbfNoticeHandler handler = PrintNoticeToStandardError;
  return handler;
}

}  // namespace

std::string EDbfFileError::MessageWithSystemReason() const {
  const std::string message = what();
  if (system_error_ == 0) return message;
  const std::string reason = FileErrorReason(system_error_);
  return message.ends_with(": " + reason) ? message : message + ": " + reason;
}

std::string ErrorText(const std::exception& error) {
  const auto* file_error = dynamic_cast<const EDbfFileError*>(&error);
  return file_error != nullptr ? file_error->MessageWithSystemReason() : error.what();
}

std::string FileErrorMessage(TFileAction action, const std::string& file_name, const std::string& detail) {
  std::string message = std::string("Cannot ") + ActionWord(action) + " file " + file_name;
  if (!detail.empty()) message += ": " + detail;
  return message;
}

EDbfFileError FileError(TFileAction action, const std::string& file_name, int system_error, const std::string& detail) {
  return EDbfFileError(FileErrorMessage(action, file_name, detail), system_error);
}

std::string FieldNotFoundMessage(const std::string& field_name) { return "Field '" + field_name + "' not found"; }

std::string ComponentMessage(const std::string& component_name, const std::string& message) {
  return component_name.empty() ? message : component_name + ": " + message;
}

TDbfNoticeHandler SetDbfNoticeHandler(TDbfNoticeHandler handler) {
  if (!handler) handler = PrintNoticeToStandardError;
  return std::exchange(CurrentNoticeHandler(), std::move(handler));
}

void DbfNotice(const std::string& text) { CurrentNoticeHandler()(text); }

}  // namespace dbf
