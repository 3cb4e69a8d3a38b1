// Whole files as the windows read and write them (configuration files, the sample
// "vzor1.txt", template bitmaps), with the program's messages, and the lookup of a named
// file that forgives a difference in letter case, as the systems the files come from do.
// Only regular files are read, never waiting on a FIFO and never more than a limit; a
// file is replaced only by a whole new one, so a failed save leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace app {

// Raised by the reads and writes below, with "Cannot open file %s" or "Cannot create
// file %s" and the file's name as given, followed by the reason.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The most a configuration file and a template bitmap may hold.
inline constexpr int64_t kConfigurationFileLimit = int64_t{1} << 20;
inline constexpr int64_t kTemplateFileLimit = int64_t{64} << 20;

// A folder, a FIFO, a device (or a link to one) and a file larger than `limit` are
// refused before anything is read.
QByteArray ReadWholeFile(const QString& path, int64_t limit);
// Writes a temporary file beside `path`, flushes it to the disk and renames it over the
// old file. A target that exists and is no regular file is refused.
void WriteWholeFile(const QString& path, const QByteArray& bytes);

// A configuration file's text, decoded as tarni::decode_configuration_file says; line
// breaks become "\n". At most kConfigurationFileLimit bytes.
QString ReadConfigurationText(const QString& path);
// Writes `text` with CR LF line breaks in Windows-1250, or as UTF-8 with a byte-order
// mark when Windows-1250 cannot hold it.
void WriteConfigurationText(const QString& path, const QString& text);

// The name under which the file `name` exists: `name` itself, or else a file in the same
// folder whose name differs only in letter case; nothing when neither exists or `name`
// is empty. A name without a folder is looked up in the current folder. Anything that
// exists counts (a folder too), so that reading it says why it cannot be read.
std::optional<QString> ExistingFile(const QString& name);

// The name without its folder.
QString BareFileName(const QString& name);

}  // namespace app
