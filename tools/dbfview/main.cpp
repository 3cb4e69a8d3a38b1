// dbfview: a window over one dBase table, for looking at a results or subjects table and
// at the bound controls by hand.
//
//   dbfview [--read-only] FILE
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "TDbfViewWindow.h"

namespace {

constexpr const char* kUsage = "usage: dbfview [--read-only] FILE\n";
constexpr int kUsageStatus = 2;

}  // namespace

int main(int argc, char** argv) {
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
