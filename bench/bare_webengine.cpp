// The floor for start-up: QApplication and one QWebEngineView loading a small local
// page, nothing else. Prints the CLOCK_MONOTONIC time (ns) at loadFinished, so the
// harness that started it can take the difference from its own clock; then, after an
// optional hold (argv[2], ms) that lets the harness read its memory, it exits. With
// "line-edit" (argv[3]) a focused QLineEdit sits above the view in the same window: the
// floor for a window whose keyboard is in a text box.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>

namespace {
long long monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PAGE.htm [hold-ms [line-edit]]\n", argv[0]);
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
  QWidget box;
  auto* view = new QWebEngineView();
  QWidget* window = view;
  if (argc > 3 && std::string_view(argv[3]) == "line-edit") {
    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* edit = new QLineEdit(QStringLiteral("http://www."), &box);
    layout->addWidget(edit);
    layout->addWidget(view, 1);
    edit->setFocus();
    window = &box;
  }
  const std::unique_ptr<QWidget> alone(window == view ? view : nullptr);
  window->resize(581, window == view ? 416 : 437);
  QObject::connect(view, &QWebEngineView::loadFinished, &app, [hold](bool ok) {
    std::printf("loadFinished %d %lld\n", ok ? 1 : 0, monotonicNs());
    std::fflush(stdout);
    QTimer::singleShot(hold, qApp, &QCoreApplication::quit);
  });
  window->show();
  view->load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
  return QApplication::exec();
}
