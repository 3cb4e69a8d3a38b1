#include "ProgramFiles.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <memory>

#include "ConfigurationFileEncoding.h"
#include "ConfigurationLines.h"
#include "DbfErrors.h"
#include "DbfFileIO.h"
#include "DbfPaths.h"

namespace app {

namespace {

[[noreturn]] void Refuse(dbf::TFileAction action, const QString& path, const std::string& reason) {
  throw EFileError(dbf::FileErrorMessage(action, path.toStdString(), reason));
}

std::string LimitText(int64_t limit) { return std::to_string(limit >> 20) + " MiB"; }

// Why an existing `path` is no file to replace; empty when it is a regular file or missing.
std::string ReplaceRefusal(const QString& path) {
  struct stat status {};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode)) return {};
  return dbf::FileErrorReason(S_ISDIR(status.st_mode) ? EISDIR : ENXIO);
}

}  // namespace

// The table files' own opening serves here too: it refuses what is no regular file
// without waiting for a writer on a FIFO.
QByteArray ReadWholeFile(const QString& path, int64_t limit) {
  const std::unique_ptr<dbf::TFileIO> file =
      dbf::OpenPosixFileIO(QFile::encodeName(path).toStdString(), dbf::TFileOpenMode::ReadOnly);
  if (!file) Refuse(dbf::TFileAction::Open, path, dbf::FileErrorReason(errno));
  const int64_t size = file->Size();
  if (size < 0) Refuse(dbf::TFileAction::Open, path, dbf::FileErrorReason(errno));
  if (size > limit) {
    Refuse(dbf::TFileAction::Open, path,
           std::to_string(size) + " bytes, more than the " + LimitText(limit) + " allowed");
  }
  QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
  const int64_t read = file->ReadAt(0, bytes.data(), bytes.size());
  if (read < 0) Refuse(dbf::TFileAction::Read, path, dbf::FileErrorReason(errno));
  // A file cut short while it was read holds what was read.
  bytes.truncate(static_cast<qsizetype>(read));
  return bytes;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes) {
  if (const std::string refusal = ReplaceRefusal(path); !refusal.empty()) {
    Refuse(dbf::TFileAction::Create, path, refusal);
  }
  QSaveFile file(path);
  // Unbuffered: a write that failed while the buffer was flushed at commit would go
  // unnoticed, and the short file would replace the old one. The reason is taken from
  // errno at once, as QSaveFile reports a failed commit as an unknown error.
  const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size();
  if (!written) Refuse(dbf::TFileAction::Create, path, dbf::FileErrorReason(errno));
  if (!file.commit()) Refuse(dbf::TFileAction::Create, path, dbf::FileErrorReason(errno));
}

QString ReadConfigurationText(const QString& path) {
  const QByteArray bytes = ReadWholeFile(path, kConfigurationFileLimit);
  const std::string text = tarni::decode_configuration_file(std::string_view(bytes.constData(), bytes.size()));
  return QString::fromStdString(tarni::with_line_breaks(text, "\n"));
}

void WriteConfigurationText(const QString& path, const QString& text) {
  WriteWholeFile(path, QByteArray::fromStdString(tarni::encode_configuration_file(text.toStdString())));
}

std::optional<QString> ExistingFile(const QString& name) {
  if (name.isEmpty()) return std::nullopt;
  const std::string absolute = QFile::encodeName(QFileInfo(name).absoluteFilePath()).toStdString();
  const QString found = QFile::decodeName(QByteArray::fromStdString(dbf::MatchExistingCase(absolute)));
  if (!QFileInfo::exists(found)) return std::nullopt;
  return found == QFileInfo(name).absoluteFilePath() ? name : found;
}

QString BareFileName(const QString& name) { return QFileInfo(name).fileName(); }

}  // namespace app
