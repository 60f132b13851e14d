// Print Preview of a long article (about a dozen printed pages) in the real engine: the
// seconds from the command until the preview shows its pages, and the process's peak
// resident memory. The engine draws each printed page as an image at the printer's
// resolution, so both follow that resolution.
//   print_preview_bench [runs=3]
#include "app/application.h"
#include "browser/webengine_browser.h"
#include "support/engine_window.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const bool noSandbox = geteuid() == 0;
  if (!app::prepareProcess(noSandbox)) {
    return 1;
  }
  app::QtArguments qtArguments(argv[0], noSandbox);
  QApplication application(qtArguments.argc(), qtArguments.argv());

  QTemporaryDir dir;
  QByteArray article;
  for (int i = 0; i < 400; ++i) article += "<p>A page long enough to take its time to print.</p>";
  const QString path = dir.filePath(QStringLiteral("long.htm"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(article) != article.size()) {
    return 1;
  }
  file.close();

  auto w = std::make_unique<testsupport::EngineWindow>();
  browser::WebEngineBrowser* engine = w->engine;
  if (!w->go(QUrl::fromLocalFile(path).toString())) {
    std::fprintf(stderr, "the page did not load\n");
    return 1;
  }

  std::vector<double> seconds;
  for (int r = 0; r < runs; ++r) {
    // The preview shows once its pages are drawn; it is closed at once.
    QElapsedTimer clock;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
      if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
          preview != nullptr && preview->isVisible()) {
        seconds.push_back(static_cast<double>(clock.elapsed()) / 1000.0);
        preview->reject();
      }
    });
    look.start(10);
    bool ended = false;
    const auto ends =
        QObject::connect(engine, &browser::BrowserEngine::commandEnded, [&] { ended = true; });
    clock.start();
    engine->run(browser::PageCommand::PrintPreview);
    if (!QTest::qWaitFor([&] { return ended; }, 300000)) {
      std::fprintf(stderr, "the preview did not end\n");
      return 1;
    }
    QObject::disconnect(ends);
  }
  std::sort(seconds.begin(), seconds.end());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "print preview of a long page, median of %d: %.2f s until its pages show; "
      "peak memory %ld MB\n",
      runs, seconds.empty() ? -1.0 : seconds[seconds.size() / 2], usage.ru_maxrss / 1024);
  w.reset();  // pages go before the profile
  app::shutdown();
  return 0;
}
