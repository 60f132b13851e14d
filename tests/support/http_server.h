#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace testsupport {

struct HttpResponse {
  int status = 200;
  QByteArray contentType = "text/html; charset=utf-8";
  QByteArray body;
  QList<QPair<QByteArray, QByteArray>> headers;  // extra headers, e.g. Set-Cookie
  int delayMs = 0;  // the answer is held back this long (slow pages, Stop)
  // The connection drops after this many bytes of the body, though the headers
  // promise all of it (a server dying mid-response). Negative: the whole body.
  int cutAfterBytes = -1;
};

// A small HTTP/1.1 server on 127.0.0.1 in the test process, served from the Qt event
// loop. Pages are registered by path, or by full address for requests made to it as a
// proxy; every request's target is recorded.
class HttpServer : public QObject {
  Q_OBJECT

 public:
  enum class Transport {
    Plain,
    // TLS with a self-signed certificate for 127.0.0.1 that nobody trusts.
    UntrustedTls,
  };

  explicit HttpServer(Transport transport = Transport::Plain);
  ~HttpServer() override;

  [[nodiscard]] quint16 port() const;
  [[nodiscard]] QString url(const QString& path) const;

  void setPage(const QString& pathOrAddress, HttpResponse response);
  void setPage(const QString& pathOrAddress, const QString& title, const QString& bodyHtml);

  // Requests whose target is or ends with pathOrTarget.
  [[nodiscard]] int requestCount(const QByteArray& pathOrTarget) const;
  void clearRequests() { m_targets.clear(); }

 private:
  void accept();
  void onReadyRead(QTcpSocket* socket);

  Transport m_transport;
  QTcpServer* m_server;
  QHash<QByteArray, HttpResponse> m_pages;
  QList<QByteArray> m_targets;
  QHash<QTcpSocket*, QByteArray> m_buffers;
};

QString htmlPage(const QString& title, const QString& bodyHtml);

}  // namespace testsupport
