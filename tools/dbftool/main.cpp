// dbftool: a command-line companion over the table library for inspecting, exporting and
// preparing table files. `dbftool COMMAND ARGUMENTS...`; the commands stand in the table
// below, each run by a function of its own file.
#include <cstring>
#include <exception>
#include <iostream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "CheckedOutput.h"
#include "DbfToolCommands.h"

namespace {

struct TCommandEntry {
  const char* name;
  const char* usage;    // the arguments, as the usage text shows them
  const char* summary;  // what the command does, for the help text
  int (*run)(const std::vector<std::string>& arguments);
};

// The commands in the order of their names, as --help and the usage text list them.
constexpr TCommandEntry kCommands[] = {
    {"create", "FILE --field NAME:LETTER:LENGTH[:DECIMALS]... | --results",
     "creates an empty table from field definitions or with the results schema", dbftool::RunCreate},
    {"dump", "FILE [--deleted] [--format csv|json]", "prints every record as CSV with a header row or as JSON",
     dbftool::RunDump},
    {"export", "TABLE OUT [--force]",
     "writes every record to OUT as an Excel workbook (.xlsx), an SPSS data file (.sav), CSV or JSON, by OUT's "
     "extension; --force replaces an existing OUT",
     dbftool::RunExport},
    {"import", "FILE [CSV]", "appends the rows of a CSV file (or standard input) whose header row names the fields",
     dbftool::RunImport},
    {"info", "FILE [--json]", "prints the header figures, the fields and the header warnings", dbftool::RunInfo},
};

void PrintUsage(std::ostream& out) {
  out << "Usage:\n";
  for (const TCommandEntry& command : kCommands) {
    out << "  dbftool " << command.name << ' ' << command.usage << '\n';
  }
}

// What the tool is for, its commands with what each does, its own options and its exit
// status (help2man writes the manual page from it).
void PrintHelp(std::ostream& out) {
  out << "Usage: dbftool COMMAND ARGUMENTS...\n"
         "  or:  dbftool --help | --version\n"
         "Inspects, exports and prepares dBase (.dbf) tables: the results tables of Vyhod_Tarni\n"
         "and the subjects tables prepared for it.\n\n"
         "Commands:\n";
  for (const TCommandEntry& command : kCommands) {
    out << "  dbftool " << command.name << ' ' << command.usage << "\n      " << command.summary << '\n';
  }
  out << "\nOptions:\n"
         "  -h, --help     show this help and exit\n"
         "  --version      show the version and exit\n\n"
         "FILE and TABLE are taken against the current folder. info, dump and export only read the table.\n\n"
         "Exit status: 0 on success, 1 on an error (its message on standard error).\n";
}

const TCommandEntry* FindCommand(const std::string& name) {
  for (const TCommandEntry& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

// Puts `buffer` under `stream` while it lives.
class TStreamBufferSwap {
 public:
  TStreamBufferSwap(std::ostream& stream, std::streambuf& buffer) : stream_(stream), previous_(stream.rdbuf(&buffer)) {}
  ~TStreamBufferSwap() {
    stream_.flush();
    stream_.rdbuf(previous_);
  }
  TStreamBufferSwap(const TStreamBufferSwap&) = delete;
  TStreamBufferSwap& operator=(const TStreamBufferSwap&) = delete;

 private:
  std::ostream& stream_;
  std::streambuf* previous_;
};

// Runs the command the command line names and returns the exit status; `command` is the
// one found, for the usage text of a TUsageError.
int RunCommandLine(int argc, char** argv, const TCommandEntry*& command) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintHelp(std::cout);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "dbftool (Vyhod_Tarni) " << VYHOD_TARNI_VERSION << '\n';
    return 0;
  }
  command = argc >= 2 ? FindCommand(argv[1]) : nullptr;
  if (command == nullptr) {
    if (argc >= 2) std::cerr << "Unknown command: " << argv[1] << '\n';
    PrintUsage(std::cerr);
    return 1;
  }
  return command->run(std::vector<std::string>(argv + 2, argv + argc));
}

}  // namespace

int main(int argc, char** argv) {
  dbftool::TCheckedOutput output;
  const TStreamBufferSwap swap(std::cout, output);
  const TCommandEntry* command = nullptr;
  try {
    const int status = RunCommandLine(argc, argv, command);
    output.FlushOrThrow();
    return status;
  } catch (const dbftool::TUsageError& error) {
    std::cout.flush();  // what was printed before the error stands above it
    std::cerr << error.what() << '\n' << "Usage: dbftool " << command->name << ' ' << command->usage << '\n';
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << dbftool::ErrorText(error) << '\n';
  }
  return 1;
}
