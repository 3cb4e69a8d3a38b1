// Start-up and end of the program, shared by main, the tests and the start-up benchmark:
// the general error report and the header notices in message boxes titled with the
// application title, Qt's Czech translation, the windows created once each in their
// order (Form1, Form2, DataModule3, Form4, Form5), and at the end both tables closed.
#pragma once

class QApplication;

namespace app {

// REQUIRES: a QApplication exists. Installs the error report, the notice handler and
// (when the machine has it) Qt's Czech translation, and ignores SIGXFSZ.
void SetUpApplication(QApplication& application);

// REQUIRES: no program windows exist. Creates them hidden, with the test configuration
// zero and empty and both tables closed.
void CreateProgramWindows();

// Closes both tables (reporting a failure to write a header) and destroys the windows.
void DestroyProgramWindows();

// Set-up, the windows created, and the main window shown; closing the main window ends
// the application's event loop.
void StartProgram(QApplication& application);

// The whole run: StartProgram, the event loop, DestroyProgramWindows.
int RunProgram(QApplication& application);

}  // namespace app
