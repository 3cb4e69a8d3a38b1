// The configuration loader, the main window's "Nataženi dat" / "ini souboru": a test
// configuration file is chosen and read into the configuration editor's text box, which
// is the loader's working area; the template bitmap is loaded into the main window's
// image, the results table is named after the configuration (created when missing) and
// opened, and the parameters and picture sets replace those of the test configuration.
// Each value label of the editor shows its line's value as the load reaches it.
#pragma once

namespace app {

// An error ends the load at the step that failed and leaves the results table closed;
// the values read take effect only when the load completes, though the editor's labels
// show each one as it was read. The caller's error report shows the error.
void LoadConfiguration();

}  // namespace app
