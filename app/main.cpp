// Vyhod_Tarni: scores the TARNI picture-choice test subject by subject and keeps the
// results in a dBase table.
#include <QApplication>

#include "Startup.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return app::RunProgram(application);
}
