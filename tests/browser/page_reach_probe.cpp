// Helper process for the page-reach suite, for what needs a process of its own: the
// desktop theme chosen at start-up, or a wait that must not hang the suite.
//   page_reach_probe file-dialogs PAGE SAVE-TO  the dialogs a page and Save Page As open
//   page_reach_probe print-preview PAGE         Print Preview while the page's process dies
// It prints one line per finding and exits 0 once done.
#include "app/application.h"
#include "browser/webengine_browser.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

void say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

// Qt's own dialog shows its widgets; a desktop's chooser leaves the Qt dialog unshown.
bool isQtsOwn(const QFileDialog* dialog) {
  return !dialog->testAttribute(Qt::WA_DontShowOnScreen) &&
         dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s file-dialogs|print-preview PAGE [SAVE-TO]\n", argv[0]);
    return 2;
  }
  const bool noSandbox = geteuid() == 0;
  if (!app::prepareProcess(noSandbox)) {
    return 1;
  }
  app::QtArguments qtArguments(argv[0], noSandbox);
  QApplication application(qtArguments.argc(), qtArguments.argv());
  const QString mode = QString::fromLocal8Bit(argv[1]);
  const QString saveTo = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();

  auto* window = new QWidget();
  auto* engine = new browser::WebEngineBrowser(window);
  (new QVBoxLayout(window))->addWidget(engine->widget());
  window->resize(800, 600);
  window->show();
  bool loaded = false;
  QObject::connect(engine->page(), &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
  engine->load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2])).toString());
  if (!QTest::qWaitFor([&] { return loaded; }, 20000)) {
    say(QStringLiteral("page did not load"));
    return 1;
  }

  // Every modal window that shows is looked at once, from a timer, as the suites do.
  QPointer<QWidget> last;
  int seen = 0;
  std::function<void(QWidget*)> handle;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != last) {
      last = modal;
      ++seen;
      handle(modal);
    }
  });
  poll.start(20);

  if (mode == QLatin1String("file-dialogs")) {
    QString kind;
    handle = [&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) {
        say(QStringLiteral("%1: not a file dialog").arg(kind));
        static_cast<QDialog*>(modal)->reject();
        return;
      }
      say(QStringLiteral("%1: %2").arg(kind, isQtsOwn(dialog) ? "qt" : "desktop"));
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (kind == QLatin1String("save") && isQtsOwn(dialog) && name != nullptr) {
        name->setText(saveTo);
        static_cast<QDialog*>(dialog)->accept();
      } else {
        dialog->reject();
      }
    };
    // The page's file field, clicked as a hand does it, then Save Page As.
    kind = QStringLiteral("page file field");
    QWidget* input = engine->view()->focusProxy();
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(40, 30));
    if (!QTest::qWaitFor([&] { return seen > 0; }, 15000)) {
      say(QStringLiteral("page file field: nothing shown"));
    }
    (void)QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }, 5000);
    kind = QStringLiteral("save");
    engine->run(browser::PageCommand::SaveAs);
    // The file shows as soon as the save starts; the page goes only once it has ended.
    qint64 size = -1;
    (void)QTest::qWaitFor(
        [&] {
          const qint64 now = QFileInfo(saveTo).size();
          const bool done = saveTo.isEmpty() || (now > 0 && now == size);
          size = QFileInfo::exists(saveTo) ? now : -1;
          return done;
        },
        45000);
    QTest::qWait(500);
  } else {
    // The preview waits for the page to print; the page's process is ended meanwhile.
    bool ended = false;
    QObject::connect(engine->page(), &QWebEnginePage::renderProcessTerminated,
                     [&] { ended = true; });
    handle = [&](QWidget* modal) {
      if (qobject_cast<QPrintPreviewDialog*>(modal) == nullptr) {
        static_cast<QDialog*>(modal)->reject();
        return;
      }
      ::kill(static_cast<pid_t>(engine->page()->renderProcessPid()), SIGKILL);
      QTimer* close = new QTimer(modal);
      QObject::connect(close, &QTimer::timeout, modal, [&ended, modal] {
        if (ended) {
          static_cast<QDialog*>(modal)->reject();
        }
      });
      close->start(50);
    };
    bool shown = false;
    QObject::connect(engine, &browser::BrowserEngine::commandEnded, [&] { shown = true; });
    engine->run(browser::PageCommand::PrintPreview);
    (void)QTest::qWaitFor([&] { return shown; }, 60000);
    say(QStringLiteral("preview ended, page process %1").arg(ended ? "ended" : "still there"));
  }
  poll.stop();
  delete window;  // pages go before the profile
  app::shutdown();
  return 0;
}
