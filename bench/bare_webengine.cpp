// The floor for start-up: QApplication and one QWebEngineView loading a small local
// page, nothing else. Prints the CLOCK_MONOTONIC time (ns) at loadFinished, so the
// harness that started it can take the difference from its own clock; then, after an
// optional hold (argv[2], ms) that lets the harness read its memory, it exits.
#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
long long monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PAGE.htm [hold-ms]\n", argv[0]);
    return 2;
  }
  // The same process set-up the real program makes for itself.
  qputenv("QT_QPA_PLATFORM", "xcb");
  if (geteuid() == 0) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  const int hold = argc > 2 ? std::atoi(argv[2]) : 0;
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QWebEngineView view;
  view.resize(581, 416);
  QObject::connect(&view, &QWebEngineView::loadFinished, &app, [hold](bool ok) {
    std::printf("loadFinished %d %lld\n", ok ? 1 : 0, monotonicNs());
    std::fflush(stdout);
    QTimer::singleShot(hold, qApp, &QCoreApplication::quit);
  });
  view.show();
  view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
  return QApplication::exec();
}
