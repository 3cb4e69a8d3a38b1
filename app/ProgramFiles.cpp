#include "ProgramFiles.h"

#include <QFile>
#include <QFileInfo>

#include "ConfigurationFileEncoding.h"
#include "DbfPaths.h"

namespace app {

namespace {

QString WithName(const char* message, const QString& path) { return QString::fromLatin1(message).arg(path); }

}  // namespace

QByteArray ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw EFileError(WithName("Cannot open file %1", path).toStdString());
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw EFileError(WithName("Cannot open file %1", path).toStdString());
  }
  return bytes;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  const bool written =
      file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
  file.close();
  if (!written || file.error() != QFileDevice::NoError) {
    throw EFileError(WithName("Cannot create file %1", path).toStdString());
  }
}

QString ReadConfigurationText(const QString& path) {
  const QByteArray bytes = ReadWholeFile(path);
  QString text =
      QString::fromStdString(tarni::decode_configuration_file(std::string_view(bytes.constData(), bytes.size())));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

void WriteConfigurationText(const QString& path, const QString& text) {
  WriteWholeFile(path, QByteArray::fromStdString(tarni::encode_configuration_file(text.toStdString())));
}

std::optional<QString> ExistingFile(const QString& name) {
  if (name.isEmpty()) return std::nullopt;
  const std::string absolute = QFile::encodeName(QFileInfo(name).absoluteFilePath()).toStdString();
  const QString found = QFile::decodeName(QByteArray::fromStdString(dbf::MatchExistingCase(absolute)));
  const QFileInfo info(found);
  if (!info.exists() || info.isDir()) return std::nullopt;
  return found == QFileInfo(name).absoluteFilePath() ? name : found;
}

QString BareFileName(const QString& name) { return QFileInfo(name).fileName(); }

}  // namespace app
