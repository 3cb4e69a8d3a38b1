// The notice handler through which the table library reports header findings that are
// not errors. The program installs a message box; the default prints to standard error.
#include "DbfErrors.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace dbf {

namespace {

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

TDbfNoticeHandler SetDbfNoticeHandler(TDbfNoticeHandler handler) {
  if (!handler) handler = PrintNoticeToStandardError;
  return std::exchange(CurrentNoticeHandler(), std::move(handler));
}

void DbfNotice(const std::string& text) { CurrentNoticeHandler()(text); }

}  // namespace dbf
