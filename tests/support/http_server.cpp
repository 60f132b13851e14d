#include "support/http_server.h"

#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace testsupport {

QString htmlPage(const QString& title, const QString& bodyHtml) {
  return QStringLiteral(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
             "<body>%2</body></html>")
      .arg(title, bodyHtml);
}

namespace {

QByteArray readTlsFile(const char* name) {
  QFile file(QStringLiteral(HUSHLEAF_TEST_TLS_DIR "/") + QLatin1String(name));
  if (!file.open(QIODevice::ReadOnly)) {
    qFatal("test TLS file %s is missing", name);
  }
  return file.readAll();
}

QTcpServer* makeServer(HttpServer::Transport transport, QObject* parent) {
  if (transport == HttpServer::Transport::Plain) {
    return new QTcpServer(parent);
  }
  auto* server = new QSslServer(parent);
  QSslConfiguration config = QSslConfiguration::defaultConfiguration();
  config.setLocalCertificate(QSslCertificate(readTlsFile("untrusted-cert.pem"), QSsl::Pem));
  config.setPrivateKey(QSslKey(readTlsFile("untrusted-key.pem"), QSsl::Rsa, QSsl::Pem));
  config.setPeerVerifyMode(QSslSocket::VerifyNone);
  server->setSslConfiguration(config);
  return server;
}

}  // namespace

HttpServer::HttpServer(Transport transport)
    : m_transport(transport), m_server(makeServer(transport, this)) {
  if (!m_server->listen(QHostAddress::LocalHost, 0)) {
    qFatal("test HTTP server cannot listen on 127.0.0.1");
  }
  // A TLS server hands a connection over once its handshake is done.
  connect(m_server, &QTcpServer::newConnection, this, &HttpServer::accept);
  connect(m_server, &QTcpServer::pendingConnectionAvailable, this, &HttpServer::accept);
}

void HttpServer::accept() {
  while (QTcpSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      m_buffers.remove(socket);
      socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0) {
      onReadyRead(socket);
    }
  }
}

HttpServer::~HttpServer() { m_server->close(); }

quint16 HttpServer::port() const { return m_server->serverPort(); }

QString HttpServer::url(const QString& path) const {
  const QString scheme =
      m_transport == Transport::Plain ? QStringLiteral("http") : QStringLiteral("https");
  return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(port()).arg(path);
}

void HttpServer::setPage(const QString& path, HttpResponse response) {
  m_pages.insert(path.toUtf8(), std::move(response));
}

void HttpServer::setPage(const QString& path, const QString& title, const QString& bodyHtml) {
  HttpResponse response;
  response.body = htmlPage(title, bodyHtml).toUtf8();
  setPage(path, response);
}

void HttpServer::setHandler(std::function<HttpResponse(const HttpRequest&)> handler) {
  m_handler = std::move(handler);
}

int HttpServer::requestCount(const QByteArray& pathOrTarget) const {
  int count = 0;
  for (const HttpRequest& r : m_requests) {
    if (r.target == pathOrTarget || r.target.endsWith(pathOrTarget)) {
      ++count;
    }
  }
  return count;
}

HttpResponse HttpServer::respond(const HttpRequest& request) const {
  QByteArray path = request.target;
  const int query = static_cast<int>(path.indexOf('?'));
  if (query >= 0) {
    path.truncate(query);
  }
  if (!path.startsWith('/')) {
    if (m_handler) {
      return m_handler(request);
    }
  }
  const auto it = m_pages.constFind(path);
  if (it != m_pages.constEnd()) {
    return it.value();
  }
  if (m_handler) {
    return m_handler(request);
  }
  HttpResponse notFound;
  notFound.status = 404;
  notFound.body = htmlPage(QStringLiteral("Not Found"), QStringLiteral("no such page")).toUtf8();
  return notFound;
}

void HttpServer::onReadyRead(QTcpSocket* socket) {
  QByteArray& buffer = m_buffers[socket];
  buffer += socket->readAll();
  const int end = static_cast<int>(buffer.indexOf("\r\n\r\n"));
  if (end < 0) {
    return;
  }
  const QList<QByteArray> lines = buffer.left(end).split('\n');
  buffer.remove(0, end + 4);
  HttpRequest request;
  const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
  request.method = first.value(0);
  request.target = first.value(1);
  for (int i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines.at(i).trimmed();
    const int colon = static_cast<int>(line.indexOf(':'));
    if (colon > 0) {
      request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
  }
  m_requests.append(request);
  const HttpResponse response = respond(request);
  QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " X\r\n";
  out += "Content-Type: " + response.contentType + "\r\n";
  out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
  out += "Cache-Control: no-store\r\nConnection: close\r\n";
  for (const auto& [name, value] : response.headers) {
    out += name + ": " + value + "\r\n";
  }
  out += "\r\n";
  const bool cut = response.cutAfterBytes >= 0 && response.cutAfterBytes < response.body.size();
  out += cut ? response.body.left(response.cutAfterBytes) : response.body;
  const auto send = [socket = QPointer<QTcpSocket>(socket), out, cut] {
    if (socket && socket->state() == QAbstractSocket::ConnectedState) {
      socket->write(out);
      if (cut) {
        socket->flush();
        socket->abort();  // no orderly end: the rest of the body never comes
      } else {
        socket->disconnectFromHost();
      }
    }
  };
  if (response.delayMs > 0) {
    QTimer::singleShot(response.delayMs, this, send);
  } else {
    send();
  }
}

}  // namespace testsupport
