// Where table files are: a table name without a folder lies in the base folder, the
// user's data folder of the program (however it was installed, so an installed program
// never writes beside itself). Paths are POSIX paths; a path is absolute when it begins
// with '/'. Letter case is kept: file names on this system are case-sensitive.
#pragma once

#include <string>

namespace dbf {

// The program's data folder for these environment values, with a trailing '/':
// "Vyhod_Tarni/" in XDG_DATA_HOME when that is an absolute path, else in `home`'s
// ".local/share" (the XDG base directories ignore a relative XDG_DATA_HOME). Empty when
// neither gives an absolute path. Null stands for an unset variable.
std::string DataFolderFor(const char* xdg_data_home, const char* home);

// DataFolderFor this process's environment (the password database's home folder when HOME
// is unset or empty; the current folder when there is no home at all), fixed and made at
// the first call, with permissions for its owner alone, as results are personal data. A
// folder that cannot be made is not an error here: creating a table in it then fails with
// the system's reason.
const std::string& DbfBaseFolder();

// For tests only, which must not write into the user's folder: `folder` becomes the base
// folder; an empty one gives back the data folder of the environment as it is now. A
// dataset resolves its folder when it is created and when its FilePath is set, so set
// this before either.
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
