// dbftool: a command-line companion over the table library for inspecting, exporting and
// preparing table files. `dbftool COMMAND ARGUMENTS...`; the commands register themselves.
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

void PrintUsage(std::ostream& out) {
  out << "Usage:\n";
  for (const dbftool::TCommandEntry& command : dbftool::Commands()) {
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
  for (const dbftool::TCommandEntry& command : dbftool::Commands()) {
    out << "  dbftool " << command.name << ' ' << command.usage << "\n      " << command.summary << '\n';
  }
  out << "\nOptions:\n"
         "  -h, --help     show this help and exit\n"
         "  --version      show the version and exit\n\n"
         "FILE and TABLE are taken against the current folder. info, dump and export only read the table.\n\n"
         "Exit status: 0 on success, 1 on an error (its message on standard error).\n";
}

const dbftool::TCommandEntry* FindCommand(const std::string& name) {
  static const std::vector<dbftool::TCommandEntry> commands = dbftool::Commands();
  for (const dbftool::TCommandEntry& command : commands) {
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
int RunCommandLine(int argc, char** argv, const dbftool::TCommandEntry*& command) {
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
  const dbftool::TCommandEntry* command = nullptr;
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
