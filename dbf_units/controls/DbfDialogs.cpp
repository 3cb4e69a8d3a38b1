#include "DbfDialogs.h"

#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "DbfErrors.h"

namespace dbf {

namespace {

TWidgetDialogs& WidgetDialogs() {
  static TWidgetDialogs dialogs;
  return dialogs;
}

TDialogs* installed_dialogs = nullptr;

void DefaultErrorReport(const QString& message) {
  Dialogs().error(QGuiApplication::applicationDisplayName(), WithClosingPeriod(message));
}

TErrorReport& InstalledErrorReport() {
  static TErrorReport report = DefaultErrorReport;
  return report;
}

bool IsWildcard(const QString& name) { return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')); }

// "description|pattern|description|pattern" as QFileDialog's "description (pattern)".
QStringList NameFiltersOf(const QString& filter) {
  QStringList filters;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString& pattern = parts[i + 1];
    filters << (description.isEmpty() ? pattern : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
  }
  return filters;
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

// "xlsx" of "Excel workbook (*.xlsx)"; empty when the filter names no extension.
QString ExtensionOfFilter(const QString& filter) {
  const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
  return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

std::unique_ptr<QMessageBox> TWidgetDialogs::buildMessageBox(QMessageBox::Icon icon, const QString& title,
                                                             const QString& text, bool with_cancel, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::NoButton, parent);
  // File names and values from files are shown as they are, never read as markup.
  box->setTextFormat(Qt::PlainText);
  // The button texts are set here so that Qt's translation does not change them.
  box->setDefaultButton(box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
  if (with_cancel) box->setEscapeButton(box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole));
  return box;
}

void TWidgetDialogs::message(const QString& title, const QString& text) {
  buildMessageBox(QMessageBox::NoIcon, title, text, false, DialogParent())->exec();
}

void TWidgetDialogs::error(const QString& title, const QString& text) {
  buildMessageBox(QMessageBox::Critical, title, text, false, DialogParent())->exec();
}

bool TWidgetDialogs::confirm(const QString& title, const QString& text) {
  const std::unique_ptr<QMessageBox> box = buildMessageBox(QMessageBox::Question, title, text, true, DialogParent());
  box->exec();
  return box->clickedButton() == box->defaultButton();
}

std::unique_ptr<QFileDialog> TWidgetDialogs::buildFileDialog(const TOpenFileRequest& request, QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  // Qt's own dialog: it matches name patterns regardless of letter case, as the systems
  // the tables come from do, and it looks the same on every desktop.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog->setDirectory(QFileInfo(request.initial_dir).absoluteFilePath());
  QStringList filters = NameFiltersOf(request.filter);
  if (IsWildcard(request.file_name)) {
    filters.removeAll(request.file_name);
    filters.prepend(request.file_name);
  } else if (!request.file_name.isEmpty()) {
    dialog->selectFile(request.file_name);
  }
  if (!filters.isEmpty()) dialog->setNameFilters(filters);
  return dialog;
}

std::optional<QString> TWidgetDialogs::chooseFile(const TOpenFileRequest& request) {
  const std::unique_ptr<QFileDialog> dialog = buildFileDialog(request, DialogParent());
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return QFileInfo(dialog->selectedFiles().constFirst()).absoluteFilePath();
}

std::unique_ptr<QFileDialog> TWidgetDialogs::buildSaveDialog(const TSaveFileRequest& request, QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent, request.title);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setNameFilters(request.filters);
  dialog->selectFile(request.file_name);
  dialog->setDefaultSuffix(ExtensionOfFilter(request.filters.value(0)));
  QFileDialog* shown = dialog.get();
  QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& filter) {
    const QString extension = ExtensionOfFilter(filter);
    shown->setDefaultSuffix(extension);
    const QFileInfo typed(shown->selectedFiles().value(0));
    if (!extension.isEmpty() && !typed.completeBaseName().isEmpty()) {
      shown->selectFile(typed.completeBaseName() + QLatin1Char('.') + extension);
    }
  });
  return dialog;
}

std::optional<QString> TWidgetDialogs::chooseSaveFile(const TSaveFileRequest& request) {
  const std::unique_ptr<QFileDialog> dialog = buildSaveDialog(request, DialogParent());
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return QFileInfo(dialog->selectedFiles().constFirst()).absoluteFilePath();
}

bool ConfirmRecordDeletion() { return Dialogs().confirm(QStringLiteral("Confirm"), QStringLiteral("Delete record?")); }

TDialogs& Dialogs() { return installed_dialogs != nullptr ? *installed_dialogs : WidgetDialogs(); }

TDialogs* SetDialogs(TDialogs* dialogs) {
  TDialogs* previous = &Dialogs();
  installed_dialogs = dialogs;
  return previous;
}

std::optional<QString> OpenFileDialog(const TOpenFileRequest& request) {
  std::optional<QString> chosen = Dialogs().chooseFile(request);
  if (!chosen) return chosen;
  const QString folder = QFileInfo(*chosen).absolutePath();
  if (::chdir(QFile::encodeName(folder).constData()) != 0) {
    throw std::runtime_error("Cannot change to folder " + folder.toStdString() + ": " + std::strerror(errno));
  }
  return chosen;
}

TErrorReport SetErrorReport(TErrorReport report) {
  TErrorReport previous = InstalledErrorReport();
  InstalledErrorReport() = report ? std::move(report) : TErrorReport(DefaultErrorReport);
  return previous;
}

void ReportError(const QString& message) { InstalledErrorReport()(message); }

bool RunReported(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    ReportError(QString::fromStdString(ErrorText(error)));
  }
  return false;
}

QString WithClosingPeriod(const QString& message) {
  if (message.isEmpty() || message.back() <= QLatin1Char('.')) return message;
  return message + QLatin1Char('.');
}

}  // namespace dbf
