// Helper process for the fresh-HOME check: the program's own process set-up, engine and
// teardown around one page, whose storage report (its title) is printed.
#include "app/application.h"
#include "browser/webengine_browser.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

#include <unistd.h>

int main(int argc, char** argv) {
  const bool noSandbox = geteuid() == 0;
  if (!app::prepareProcess(noSandbox)) {
    return 1;
  }
  app::QtArguments qtArguments(argv[0], noSandbox);
  QApplication application(qtArguments.argc(), qtArguments.argv());
  auto* window = new QWidget();
  auto* engine = new browser::WebEngineBrowser(window);
  window->show();
  QObject::connect(engine, &browser::BrowserEngine::titleChanged, [](const QString& title) {
    if (title.startsWith(QLatin1String("report:"))) {
      std::printf("%s\n", qPrintable(title));
      QCoreApplication::quit();
    }
  });
  engine->load(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
  const int rc = QApplication::exec();
  delete window;  // pages go before the profile
  app::shutdown();
  return rc;
}
