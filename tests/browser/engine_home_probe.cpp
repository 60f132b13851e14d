// Helper process for the fresh-HOME check: the program's own process set-up and engine
// profile, one page loaded until it reports its storage through its title, which is
// printed, then the program's own teardown.
#include "app/db_main.h"
#include "browser/engine_profile.h"
#include "browser/webengine_browser.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
  app::prepareProcess();
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  int rc = 1;
  {
    QWidget window;
    auto* engine = new browser::WebEngineBrowser(&window);
    window.show();
    QObject::connect(engine, &browser::BrowserEngine::TitleChange, [&](const QString& title) {
      if (title.startsWith(QLatin1String("report:"))) {
        std::printf("%s\n", qPrintable(title));
        rc = 0;
        QCoreApplication::quit();
      }
    });
    QTimer::singleShot(30000, &application, &QCoreApplication::quit);
    engine->Navigate(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    QApplication::exec();
  }
  browser::releaseSharedProfile();
  return rc;
}
