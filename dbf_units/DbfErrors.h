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

class EDbfFileError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

class EDbfEngineError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

// Header findings that are not errors ("Invalid Record Count, ...", "Invalid Record
// Size, ...") go to the notice handler; the program shows them in a message box, the
// command-line tool prints them. The default handler writes them to standard error.
using TDbfNoticeHandler = std::function<void(const std::string& text)>;

// Installs `handler` and returns the one it replaces. An empty handler restores the default.
TDbfNoticeHandler SetDbfNoticeHandler(TDbfNoticeHandler handler);

void DbfNotice(const std::string& text);

}  // namespace dbf
