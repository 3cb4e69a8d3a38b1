// dbftool: a command-line companion over the table library for inspecting, exporting and
// preparing table files. `dbftool COMMAND ARGUMENTS...`; the commands register themselves.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "DbfToolCommands.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "Usage:\n";
  for (const dbftool::TCommandEntry& command : dbftool::Commands()) {
    out << "  dbftool " << command.name << ' ' << command.usage << '\n';
  }
}

const dbftool::TCommandEntry* FindCommand(const std::string& name) {
  static const std::vector<dbftool::TCommandEntry> commands = dbftool::Commands();
  for (const dbftool::TCommandEntry& command : commands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(std::cout);
    return 0;
  }
  const dbftool::TCommandEntry* command = argc >= 2 ? FindCommand(argv[1]) : nullptr;
  if (command == nullptr) {
    if (argc >= 2) std::cerr << "Unknown command: " << argv[1] << '\n';
    PrintUsage(std::cerr);
    return 1;
  }
  try {
    return command->run(std::vector<std::string>(argv + 2, argv + argc));
  } catch (const dbftool::TUsageError& error) {
    std::cerr << error.what() << '\n' << "Usage: dbftool " << command->name << ' ' << command->usage << '\n';
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
  }
  return 1;
}
