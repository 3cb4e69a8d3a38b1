// The start-up probe of the start-up benchmark: starts the program exactly as main does
// and, when the main window is painted for the first time, writes one byte to the file
// descriptor given as its argument, then ends the run as the program ends it.
//
// Usage: startup_probe FD
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdlib>

#include "Startup.h"
#include "Unit1.h"

namespace {

// Reports the first paint of the main window and ends the event loop.
class TFirstPaint : public QObject {
 public:
  explicit TFirstPaint(int descriptor) : descriptor_(descriptor) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      if (::write(descriptor_, "!", 1) != 1) std::_Exit(1);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  int descriptor_;
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  TFirstPaint first_paint(std::atoi(argv[1]));
  QApplication application(argc, argv);
  app::StartProgram(application);
  Form1->installEventFilter(&first_paint);
  const int status = application.exec();
  app::DestroyProgramWindows();
  return status;
}
