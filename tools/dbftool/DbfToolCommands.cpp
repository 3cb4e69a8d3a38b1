// The register of dbftool's subcommands and the helpers they share.
#include "DbfToolCommands.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace dbftool {

namespace {

// Filled during static initialisation by the commands' registrations, which may run
// before any other static object of this file: hence the function-local list.
std::vector<TCommandEntry>& Register() {
  static std::vector<TCommandEntry> commands;
  return commands;
}

}  // namespace

TCommandRegistration::TCommandRegistration(const char* name, const char* usage, TCommand run) {
  Register().push_back({name, usage, run});
}

std::vector<TCommandEntry> Commands() {
  std::vector<TCommandEntry> commands = Register();
  std::sort(commands.begin(), commands.end(),
            [](const TCommandEntry& a, const TCommandEntry& b) { return std::strcmp(a.name, b.name) < 0; });
  return commands;
}

std::string AbsoluteFromCurrentFolder(const std::string& path) {
  const std::filesystem::path given(path);
  const std::filesystem::path absolute = given.is_absolute() ? given : std::filesystem::current_path() / given;
  return absolute.lexically_normal().string();
}

}  // namespace dbftool
