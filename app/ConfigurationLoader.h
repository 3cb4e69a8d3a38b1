// The configuration loader, the main window's "Nataženi dat" / "ini souboru": a test
// configuration file is chosen and read into the configuration editor's text box, which
// is the loader's working area; the template bitmap is loaded into the main window's
// image, the results table is named after the configuration (created when missing) and
// opened, and the parameters and picture sets replace those of the test configuration.
// Each value label of the editor shows its line's value as the load reaches it. The
// loader draws nothing itself: it tells the two windows' views what to show.
#pragma once

#include <QString>
#include <string>

#include "ConfigurationLoadViews.h"

class TDataModule3;

namespace app {

class TConfigurationLoader {
 public:
  // The views and the data module must outlive the loader.
  TConfigurationLoader(TConfigurationEditorView& editor, TLoadedConfigurationView& main_window,
                       TDataModule3& data_module);

  // An error ends the load at the step that failed and leaves the results table closed;
  // the values read take effect only when the load completes, though the editor's labels
  // show each one as it was read. The caller's error report shows the error.
  void Load();

 private:
  void LoadFrom(const QString& existing, const QString& name);
  void LoadTemplate(const QString& file_name);
  void OpenResultsTable(const std::string& file_name);

  TConfigurationEditorView& editor_;
  TLoadedConfigurationView& main_window_;
  TDataModule3& data_module_;
};

}  // namespace app
