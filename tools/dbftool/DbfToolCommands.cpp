// The helpers that dbftool's subcommands share.
#include "DbfToolCommands.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "DbfErrors.h"
#include "DbfFileLayout.h"
#include "UDbfFile.h"
#include "dbf.h"

namespace dbftool {

namespace {

bool LooksLikeOption(const std::string& argument) { return argument.size() > 1 && argument.front() == '-'; }

}  // namespace

bool TCommandLine::Has(const std::string& name) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& option) { return option.first == name; });
}

std::vector<std::string> TCommandLine::Values(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& [option, value] : options) {
    if (option == name) values.push_back(value);
  }
  return values;
}

const std::string& TCommandLine::Positional(size_t index, const char* what) const {
  if (index >= positionals.size()) throw TUsageError(std::string(what) + " is missing");
  return positionals[index];
}

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::vector<TOptionSpec>& known,
                              size_t most_positionals) {
  TCommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!LooksLikeOption(argument)) {
      if (line.positionals.size() == most_positionals) throw TUsageError("Unexpected argument: " + argument);
      line.positionals.push_back(argument);
      continue;
    }
    const auto spec =
        std::find_if(known.begin(), known.end(), [&](const TOptionSpec& option) { return argument == option.name; });
    if (spec == known.end()) throw TUsageError("Unknown option: " + argument);
    if (!spec->takes_value) {
      line.options.emplace_back(argument, "");
    } else if (i + 1 < arguments.size()) {
      line.options.emplace_back(argument, arguments[++i]);
    } else {
      throw TUsageError("Option " + argument + " needs a value");
    }
  }
  return line;
}

std::string AbsoluteFromCurrentFolder(const std::string& path) {
  const std::filesystem::path given(path);
  const std::filesystem::path absolute = given.is_absolute() ? given : std::filesystem::current_path() / given;
  return absolute.lexically_normal().string();
}

void PointAtFile(dbf::TDbf& table, const std::string& path) {
  table.SetTableName(AbsoluteFromCurrentFolder(path));
  table.SetOpenMode(dbf::TDbfOpenMode::omNormal);
}

void CheckTableFile(const std::string& file_name) {
  dbf::TPagedFile file(file_name, {.read_only = true});
  const int64_t size = file.FileSize();
  file.SetHeaderSize(1);
  const uint8_t version = file.HeaderBuffer()[0];
  if (size < dbf::PrefixLengthOfVersion(version)) {
    throw std::runtime_error(file.FileName() + " is too short to be a dBase table (" + std::to_string(size) +
                             (size == 1 ? " byte)" : " bytes)"));
  }
  if (!dbf::IsKnownVersion(version)) {
    dbf::DbfNotice("Unknown version byte " + dbf::HexByte(version) +
                   ": no dBase program writes it; is this a dBase table?");
  }
}

}  // namespace dbftool
