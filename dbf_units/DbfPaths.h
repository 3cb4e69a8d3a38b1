// Where table files are: a table name without a folder lies in the base folder, the
// folder of the running executable. Paths are POSIX paths; a path is absolute when it
// begins with '/'. Letter case is kept: file names on this system are case-sensitive.
#pragma once

#include <string>

namespace dbf {

// The executable's folder with a trailing '/', fixed at the first call.
const std::string& DbfBaseFolder();

// For tests only, which must not write next to their binary: `folder` becomes the base
// folder; an empty one gives back the executable's folder. A dataset resolves its folder
// when it is created and when its FilePath is set, so set this before either.
void SetDbfBaseFolderForTesting(const std::string& folder);

// Resolves a FilePath setting: relative paths (the empty one included) are taken against
// the base folder; '.' and '..' are resolved; the result ends with '/'.
std::string ResolveFilePath(const std::string& file_path);

// `path` written relative to the base folder when it lies inside it, else unchanged.
std::string RelativeToBaseFolder(const std::string& path);

// When `path` does not exist but a file in the same folder whose name differs from it
// only in letter case does, that file's path; otherwise `path` unchanged.
std::string MatchExistingCase(const std::string& path);

}  // namespace dbf
