// The subcommands of dbftool. Each lives in its own file and registers itself with a
// TCommandRegistration object; main.cpp only finds the command named on the command
// line and runs it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace dbftool {

// Runs a subcommand on the arguments after its name; returns the exit status. Errors are
// thrown: main prints their message on standard error and exits with status 1.
using TCommand = int (*)(const std::vector<std::string>& arguments);

struct TCommandEntry {
  const char* name;
  const char* usage;  // the arguments, as the usage text shows them
  TCommand run;
};

// A command line that does not fit the command's usage.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TCommandRegistration {
 public:
  TCommandRegistration(const char* name, const char* usage, TCommand run);
};

// The registered commands in the order of their names.
std::vector<TCommandEntry> Commands();

// A FILE argument made absolute against the current folder, as the table wants it.
std::string AbsoluteFromCurrentFolder(const std::string& path);

}  // namespace dbftool
