// Whole files as the windows read and write them (configuration files, the sample
// "vzor1.txt", template bitmaps), with the program's messages, and the lookup of a named
// file that forgives a difference in letter case, as the systems the files come from do.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

namespace app {

// Raised by the reads and writes below, with "Cannot open file %s" or "Cannot create
// file %s" and the file's name as given.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

QByteArray ReadWholeFile(const QString& path);
// Replaces an existing file.
void WriteWholeFile(const QString& path, const QByteArray& bytes);

// A configuration file's text: UTF-8 when its bytes are valid UTF-8, else Windows-1250;
// line breaks become "\n".
QString ReadConfigurationText(const QString& path);
// Writes `text` in Windows-1250 with CR LF line breaks.
void WriteConfigurationText(const QString& path, const QString& text);

// The name under which the file `name` exists: `name` itself, or else a file in the same
// folder whose name differs only in letter case; nothing when neither exists or `name`
// is empty. A name without a folder is looked up in the current folder.
std::optional<QString> ExistingFile(const QString& name);

// The name without its folder.
QString BareFileName(const QString& name);

}  // namespace app
