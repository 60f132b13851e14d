#include "app/db_main.h"

#include <QApplication>

int main(int argc, char** argv) {
  app::prepareProcess();
  // The command line is not ours to read: Qt sees the program name alone.
  int qtArgc = argc > 0 ? 1 : 0;
  char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
  QApplication application(qtArgc, qtArgv);
  if (!app::Main()) {
    return 0;  // the program already runs: it took over
  }
  const int rc = QApplication::exec();
  app::shutdown();
  return rc;
}
