#include "app/application.h"

#include <QApplication>

int main(int argc, char** argv) {
  const bool noSandbox = app::askedForNoSandbox(argc, argv);
  if (!app::prepareProcess(noSandbox)) {
    return 1;
  }
  // The command line is not ours to read: Qt sees the program name and our own switches.
  app::QtArguments qtArguments(argc > 0 ? argv[0] : nullptr, noSandbox);
  QApplication application(qtArguments.argc(), qtArguments.argv());
  if (!app::startApplication()) {
    return 0;  // the program already runs: it took over
  }
  const int rc = QApplication::exec();
  app::shutdown();
  return rc;
}
