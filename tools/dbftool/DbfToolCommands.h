// The subcommands of dbftool. Each lives in its own file (<Name>Command.cpp); main.cpp
// lists them in its table of commands, finds the one named on the command line and runs
// it. Also the helpers the commands share: their command-line walk and the way they point
// a table dataset at a FILE argument.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "DbfErrors.h"

namespace dbf {
class TDbf;
}

namespace dbftool {

// The subcommands: each runs on the arguments after its name and returns the exit status.
// Errors are thrown: main prints their message on standard error and exits with status 1;
// a TUsageError adds the command's usage line.
int RunCreate(const std::vector<std::string>& arguments);
int RunDump(const std::vector<std::string>& arguments);
int RunExport(const std::vector<std::string>& arguments);
int RunImport(const std::vector<std::string>& arguments);
int RunInfo(const std::vector<std::string>& arguments);

// A command line that does not fit the command's usage.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An option a command accepts: a flag stands alone, a valued option takes the next argument.
struct TOptionSpec {
  const char* name;  // with its dashes: "--json"
  bool takes_value;
};

// A command's arguments sorted into options (in the order given) and positional arguments.
struct TCommandLine {
  std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag)
  std::vector<std::string> positionals;

  bool Has(const std::string& name) const;
  // Every value given to `name`, in order.
  std::vector<std::string> Values(const std::string& name) const;
  // The positional argument at `index`, or TUsageError "<what> is missing".
  const std::string& Positional(size_t index, const char* what) const;
};

// Throws TUsageError for an unknown option, a valued option without its value, and more
// than `most_positionals` positional arguments. A lone "-" counts as positional.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::vector<TOptionSpec>& known,
                              size_t most_positionals);

// What the tool says of an error: its message, and for a failed system call on a table
// file the system's reason after it ("Cannot write file X: no space left on device").
using dbf::ErrorText;

// A FILE argument made absolute against the current folder, as the table wants it.
std::string AbsoluteFromCurrentFolder(const std::string& path);

// Points `table` at the FILE argument `path`: the table resolves names against the
// program's data folder, so it gets the absolute path. Existing files only (omNormal).
// REQUIRES: `table` is closed.
void PointAtFile(dbf::TDbf& table, const std::string& path);

// Looks at the table file `file_name` (absolute) before a command reads it, so that a file
// that cannot be a table is refused before anything is printed. Throws the table's own
// errors for a missing file or one that is no regular file, and "%s is too short to be a
// dBase table (%d bytes)" for a file shorter than a header prefix. A version byte that
// no dBase program writes (a text file named .dbf) is reported through the library's
// notice handler, as the header warnings are, and the file is read all the same.
void CheckTableFile(const std::string& file_name);

}  // namespace dbftool
