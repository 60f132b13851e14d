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

#include <algorithm>

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
  const QString scheme = m_transport == Transport::Plain ? "http" : "https";
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

int HttpServer::requestCount(const QByteArray& pathOrTarget) const {
  return static_cast<int>(std::count_if(
      m_targets.begin(), m_targets.end(),
      [&](const QByteArray& t) { return t == pathOrTarget || t.endsWith(pathOrTarget); }));
}

void HttpServer::onReadyRead(QTcpSocket* socket) {
  QByteArray& buffer = m_buffers[socket];
  buffer += socket->readAll();
  const int end = static_cast<int>(buffer.indexOf("\r\n\r\n"));
  if (end < 0) {
    return;
  }
  // The request line's target; headers are not looked at.
  const QByteArray target = buffer.left(end).split('\r').first().split(' ').value(1);
  buffer.remove(0, end + 4);
  m_targets.append(target);
  HttpResponse notFound;
  notFound.status = 404;
  notFound.body = htmlPage("Not Found", "no such page").toUtf8();
  const HttpResponse response = m_pages.value(target.split('?').first(), notFound);
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
