// What a configuration load shows, by the window that shows it. The configuration editor
// is the load's working area (its file dialog, file-name box, text box and value labels);
// the main window shows the names of what was loaded, the template picture, and the hint
// that asks for the insert button. The loader decides what to show and when; the windows
// only draw it, so the loader runs as well against views of a test's own.
#pragma once

#include <QImage>
#include <QString>
#include <cstddef>

namespace app {

class TConfigurationEditorView {
 public:
  virtual ~TConfigurationEditorView() = default;

  // Runs the editor's file dialog; a chosen file becomes the configuration file chosen
  // last. Returns that name, the earlier one when the dialog is cancelled.
  virtual QString ChooseConfigurationFile() = 0;
  // The file-name box.
  virtual void ShowFileName(const QString& name) = 0;
  // The text box, the whole configuration text with lines ending in "\n".
  virtual void ShowConfigurationText(const QString& text) = 0;
  // REQUIRES: 1 <= line <= 9. The value label of that configuration line.
  virtual void ShowValue(size_t line, const QString& value) = 0;
};

class TLoadedConfigurationView {
 public:
  virtual ~TLoadedConfigurationView() = default;

  // The configuration file's bare name, after "soubor ini. :".
  virtual void ShowConfigurationName(const QString& bare_name) = 0;
  // The template's file name, after "předloha.bmp :".
  virtual void ShowTemplateName(const QString& file_name) = 0;
  virtual void ShowTemplate(const QImage& picture) = 0;
  // The results table's file name, after "DBF  TARNI:".
  virtual void ShowResultsTableName(const QString& file_name) = 0;
  // The results table was opened afresh: the navigator starts over with its insert button.
  virtual void ShowResultsTableReopened() = 0;
  // The hint "Nejprve klikni na  +", shown when a load completes and hidden when it fails.
  virtual void ShowInsertFirstHint(bool shown) = 0;
};

}  // namespace app
