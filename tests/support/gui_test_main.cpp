// Main for window tests: a private Xvfb and a temporary HOME come first, then the
// process set-up the program itself does, then QApplication.
#include "app/db_main.h"
#include "browser/engine_profile.h"
#include "support/temp_home.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testsupport::TempHome home;
  testsupport::XSession x;
  app::prepareProcess();
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  QApplication::setQuitOnLastWindowClosed(false);
  const int rc = RUN_ALL_TESTS();
  app::shutdown();
  return rc;
}
