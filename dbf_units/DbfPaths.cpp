// Where table files are: the base folder of the running executable, the resolution of
// folder settings against it, and the letter-case tolerance for names of existing files.
#include "DbfPaths.h"

#include <algorithm>
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

std::string ExecutableFolder() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (!error) return WithTrailingSlash(executable.parent_path().string());
  // Without /proc the working folder at the first call is the best guess there is.
  const fs::path current = fs::current_path(error);
  return WithTrailingSlash(error ? std::string("/") : current.string());
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
  static std::string folder = ExecutableFolder();
  return folder;
}

}  // namespace

const std::string& DbfBaseFolder() { return BaseFolder(); }

void SetDbfBaseFolderForTesting(const std::string& folder) {
  BaseFolder() = folder.empty() ? ExecutableFolder() : WithTrailingSlash(folder);
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
