// Helper process for the fresh-HOME suite: the program's own process set-up and engine
// profile, one page loaded, its storage report printed, then the program's own teardown.
#include "app/db_main.h"
#include "browser/engine_profile.h"
#include "browser/webengine_browser.h"

#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <QWidget>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  const QString address = QString::fromLocal8Bit(argv[1]);
  app::prepareProcess();
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  int rc = 1;
  {
    auto window = std::make_unique<QWidget>();
    auto* engine = new browser::WebEngineBrowser(window.get());
    engine->widget()->resize(640, 480);
    window->resize(640, 480);
    window->show();
    // The page reports through its title once its storage calls have finished.
    QObject::connect(engine, &browser::BrowserEngine::TitleChange, [&](const QString& title) {
      if (title.startsWith(QLatin1String("report:"))) {
        std::printf("%s\n", qPrintable(title));
        std::fflush(stdout);
        rc = 0;
        QTimer::singleShot(300, &application, &QCoreApplication::quit);
      }
    });
    QTimer::singleShot(30000, &application, [&] {
      std::fprintf(stderr, "timed out\n");
      QCoreApplication::exit(1);
    });
    engine->Navigate(address);
    QApplication::exec();
  }
  browser::releaseSharedProfile();
  return rc;
}
