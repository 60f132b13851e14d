#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;

namespace testsupport {

struct HttpRequest {
  QByteArray method;
  QByteArray target;  // as sent: a path, or an absolute URL when we act as a proxy
  QHash<QByteArray, QByteArray> headers;  // lower-case names
};

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
// loop. Pages are registered by path; every request is recorded. It also answers
// proxy-style requests (absolute URL targets), so it can stand in for a proxy.
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

  void setPage(const QString& path, HttpResponse response);
  void setPage(const QString& path, const QString& title, const QString& bodyHtml);
  // Fallback for paths with no page (and for every absolute-URL request).
  void setHandler(std::function<HttpResponse(const HttpRequest&)> handler);

  [[nodiscard]] const QList<HttpRequest>& requests() const { return m_requests; }
  [[nodiscard]] int requestCount(const QByteArray& pathOrTarget) const;
  void clearRequests() { m_requests.clear(); }

 private:
  void onReadyRead(QTcpSocket* socket);
  HttpResponse respond(const HttpRequest& request) const;

  void accept();

  Transport m_transport;
  QTcpServer* m_server;
  QHash<QByteArray, HttpResponse> m_pages;
  std::function<HttpResponse(const HttpRequest&)> m_handler;
  QList<HttpRequest> m_requests;
  QHash<QTcpSocket*, QByteArray> m_buffers;
};

QString htmlPage(const QString& title, const QString& bodyHtml);

}  // namespace testsupport
