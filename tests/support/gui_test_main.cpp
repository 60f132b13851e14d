// Main for window tests: a private Xvfb and a temporary HOME come first, then the
// process set-up the program itself does, then QApplication.
#include "app/application.h"
#include "browser/engine_profile.h"
#include "support/temp_home.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QApplication>

#include <unistd.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testsupport::TempHome home;
  testsupport::XSession x;
  // The suites run as root: the engine runs without its sandbox there, as asked.
  const bool noSandbox = geteuid() == 0;
  if (!app::prepareProcess(noSandbox)) {
    return 1;
  }
  app::QtArguments qtArguments(argv[0], noSandbox);
  QApplication application(qtArguments.argc(), qtArguments.argv());
  QApplication::setQuitOnLastWindowClosed(false);
  const int rc = RUN_ALL_TESTS();
  app::shutdown();
  return rc;
}
