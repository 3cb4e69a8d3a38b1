// dbfview: a window over one dBase table, for looking at a results or subjects table and
// at the bound controls by hand.
//
//   dbfview [--read-only] FILE
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "TDbfViewWindow.h"

namespace {

constexpr const char* kUsage = "usage: dbfview [--read-only] FILE\n";
constexpr int kUsageStatus = 2;
// help2man writes the manual page from it.
constexpr const char* kHelp =
    "Usage: dbfview [--read-only] FILE\n"
    "Shows a dBase (.dbf) table in a window: a navigator bar over a grid of its records, for\n"
    "looking through a results or subjects table and editing it in place.\n\n"
    "Options:\n"
    "  --read-only   open the file read-only; only the move buttons are shown\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n\n"
    "FILE is taken against the current folder; a missing file is an error, never a new table.\n";

// --help and --version answer before the application starts, so they need no display.
bool AnswersWithoutWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kHelp, stdout);
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("dbfview (Vyhod_Tarni) %s\n", VYHOD_TARNI_VERSION);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswersWithoutWindow(argc, argv)) {
    if (std::fflush(stdout) == 0) return 0;
    std::perror("Cannot write standard output");
    return 1;
  }
  QApplication application(argc, argv);
  QStringList arguments = QApplication::arguments().mid(1);
  const bool read_only = arguments.removeAll(QStringLiteral("--read-only")) > 0;
  if (arguments.size() != 1 || arguments.front().startsWith(QLatin1Char('-'))) {
    std::fputs(kUsage, stderr);
    return kUsageStatus;
  }
  TDbfViewWindow window;
  if (!window.openTable(arguments.front(), read_only)) return 1;
  window.show();
  return QApplication::exec();
}
