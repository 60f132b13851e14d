#include "app/instance.h"

#include "app/browser_window.h"
#include "app/hide_all.h"

#include <QAction>
#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <unistd.h>

namespace app {

namespace {

constexpr int kAnswerTimeoutMs = 5000;
const QByteArray kStarted = "started\n";
const QByteArray kDone = "done\n";

// A later start: hidden windows come back; with none hidden, a new window on the page of
// the window in front, as File > New opens it.
void laterStart() {
  if (HideAll::instance().bringBackAll()) {
    return;
  }
  BrowserWindow* from = qobject_cast<BrowserWindow*>(QApplication::activeWindow());
  if (from == nullptr) {
    from = BrowserWindow::mainWindow();
  }
  if (from == nullptr && !BrowserWindow::windows().isEmpty()) {
    from = BrowserWindow::windows().constLast();
  }
  if (from != nullptr) {
    from->action(QStringLiteral("File/New"))->trigger();
  }
}

}  // namespace

QString instanceName() {
  // One per display: ":1" and ":1.0" are the same display for this purpose.
  QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
  const auto colon = display.lastIndexOf(QLatin1Char(':'));
  const auto dot = display.lastIndexOf(QLatin1Char('.'));
  if (colon >= 0 && dot > colon) {
    display.truncate(dot);
  }
  return QStringLiteral("hushleaf-browser-%1-%2").arg(getuid()).arg(display);
}

bool tellRunningInstance() {
  QLocalSocket socket;
  socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(instanceName());
  if (!socket.waitForConnected(kAnswerTimeoutMs)) {
    return false;
  }
  socket.write(kStarted);
  if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) {
    return false;
  }
  // An instance that takes the news but never answers is stuck: this start runs on its own.
  while (!socket.canReadLine() && socket.waitForReadyRead(kAnswerTimeoutMs)) {
  }
  return socket.canReadLine() && socket.readLine() == kDone;
}

bool listenForLaterStarts() {
  auto* server = new QLocalServer(qApp);
  server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
  if (!server->listen(instanceName())) {
    delete server;
    return false;
  }
  QObject::connect(server, &QLocalServer::newConnection, server, [server] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        if (!socket->canReadLine()) {
          return;
        }
        const bool started = socket->readLine() == kStarted;
        if (started) {
          socket->write(kDone);
          socket->flush();
        }
        socket->disconnectFromServer();
        if (started) {
          // From the loop: the news is answered before any window work begins.
          QMetaObject::invokeMethod(qApp, &laterStart, Qt::QueuedConnection);
        }
      });
    }
  });
  return true;
}

}  // namespace app
