// Where table files are: the base folder in the user's data folder, the resolution of
// folder settings against it, and the letter-case tolerance for names of existing files.
#include "DbfPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "DbfCodePage.h"

namespace dbf {

namespace fs = std::filesystem;

namespace {

std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

constexpr const char* kProgramFolderName = "Vyhod_Tarni";

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

// HOME, else the password database's home folder of this user; empty when neither is known.
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  const long buffer_size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(static_cast<size_t>(buffer_size > 0 ? buffer_size : 16384));
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return "";
  return found->pw_dir != nullptr ? found->pw_dir : "";
}

// Makes every missing folder of `folder` with permissions for its owner alone. A failure
// stays for the first table made in it to report.
void MakeOwnFolder(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    mkdir(folder.substr(0, slash).c_str(), 0700);
  }
}

std::string MadeDataFolder() {
  const std::string folder = DataFolderFor(std::getenv("XDG_DATA_HOME"), HomeFolder().c_str());
  if (folder.empty()) {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return WithTrailingSlash(error ? std::string("/") : current.string());
  }
  MakeOwnFolder(folder);
  return folder;
}

// Names in `folder` equal to `name` apart from letter case, in a fixed order.
std::vector<std::string> NamesDifferingInCase(const fs::path& folder, const std::string& name) {
  std::vector<std::string> matches;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string candidate = entry->path().filename().string();
    if (Utf8EqualIgnoringCase(candidate, name) && !entry->is_directory(error)) {
      matches.push_back(candidate);
    }
  }
  std::sort(matches.begin(), matches.end());
  return matches;
}

std::string& BaseFolder() {
  static std::string folder = MadeDataFolder();
  return folder;
}

}  // namespace

std::string DataFolderFor(const char* xdg_data_home, const char* home) {
  if (IsAbsolute(xdg_data_home)) return WithTrailingSlash(xdg_data_home) + kProgramFolderName + "/";
  if (IsAbsolute(home)) return WithTrailingSlash(home) + ".local/share/" + kProgramFolderName + "/";
  return "";
}

const std::string& DbfBaseFolder() { return BaseFolder(); }

void SetDbfBaseFolderForTesting(const std::string& folder) {
  BaseFolder() = folder.empty() ? MadeDataFolder() : WithTrailingSlash(folder);
}

std::string ResolveFilePath(const std::string& file_path) {
  const bool absolute = !file_path.empty() && file_path.front() == '/';
  const fs::path joined = absolute ? fs::path(file_path) : fs::path(DbfBaseFolder()) / file_path;
  return WithTrailingSlash(joined.lexically_normal().string());
}

std::string RelativeToBaseFolder(const std::string& path) {
  const std::string normal = fs::path(path).lexically_normal().string();
  const std::string& base = DbfBaseFolder();
  if (WithTrailingSlash(normal) == base) return "";
  if (normal.compare(0, base.size(), base) != 0) return path;
  return normal.substr(base.size());
}

std::string MatchExistingCase(const std::string& path) {
  std::error_code error;
  if (fs::exists(path, error)) return path;
  const fs::path wanted(path);
  const std::vector<std::string> matches = NamesDifferingInCase(wanted.parent_path(), wanted.filename().string());
  if (matches.empty()) return path;
  return (wanted.parent_path() / matches.front()).string();
}

}  // namespace dbf
