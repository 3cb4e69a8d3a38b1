// Exceptions of the table library. Every failure is one of these, carrying the message
// the user sees. Dataset messages get the "%s: %s" dataset-name prefix from the dataset
// itself; the file layer's messages name the file.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace dbf {

class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

// A failure of the table file layer. When a system call failed, its error number rides
// along (a full disk, ENOSPC, and a refused permission, EACCES, read alike in the
// message, which stays the specified text); 0 when no system call failed.
class EDbfFileError : public EDatabaseError {
 public:
  explicit EDbfFileError(const std::string& message, int system_error = 0)
      : EDatabaseError(message), system_error_(system_error) {}

  int SystemError() const { return system_error_; }
  // The message followed by the system's reason ("Cannot write file X: no space left on
  // device"), for a tool that may say more than the specified text; the message alone
  // when no system call failed or it names the reason already.
  std::string MessageWithSystemReason() const;

 private:
  int system_error_;
};

// What to tell the user of an error: its message, and for a failed system call on a
// table file the system's reason after it ("Cannot write file X: no space left on
// device"; EDbfFileError::MessageWithSystemReason).
std::string ErrorText(const std::exception& error);

class EDbfEngineError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

// What went wrong with a table file, as the messages of the file layer say it.
enum class TFileAction { Open, Create, Read, Write, Lock, Close };
// "Cannot <action> file <file_name>", followed by ": <detail>" when a detail is given.
std::string FileErrorMessage(TFileAction action, const std::string& file_name, const std::string& detail = "");
// The EDbfFileError of that message.
EDbfFileError FileError(TFileAction action, const std::string& file_name, int system_error,
                        const std::string& detail = "");

// "Field '<name>' not found", when a field or column of that name is missing.
std::string FieldNotFoundMessage(const std::string& field_name);

// "<component>: <message>": dataset and control messages name their component; a
// component without a name leaves the message as it is.
std::string ComponentMessage(const std::string& component_name, const std::string& message);

// Header findings that are not errors ("Invalid Record Count, ...", "Invalid Record
// Size, ...") go to the notice handler; the program shows them in a message box, the
// command-line tool prints them. The default handler writes them to standard error.
using TDbfNoticeHandler = std::function<void(const std::string& text)>;

// Installs `handler` and returns the one it replaces. An empty handler restores the default.
TDbfNoticeHandler SetDbfNoticeHandler(TDbfNoticeHandler handler);

void DbfNotice(const std::string& text);

}  // namespace dbf
