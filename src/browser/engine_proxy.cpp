#include "browser/engine_proxy.h"

#include "browser/engine_profile.h"
#include "platform/internet_layer.h"
#include "proxy/proxy_form.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkProxy>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

namespace browser {

namespace {

QNetworkProxy qtProxy(const proxy::EngineProxy& p) {
  switch (p.kind) {
    case proxy::EngineProxy::Kind::Http:
      return {QNetworkProxy::HttpProxy, p.host, p.port};
    case proxy::EngineProxy::Kind::Socks5:
      return {QNetworkProxy::Socks5Proxy, p.host, p.port};
    case proxy::EngineProxy::Kind::Direct:
      break;
  }
  // DefaultProxy would let the engine fall back to the environment's proxy variables.
  return QNetworkProxy(QNetworkProxy::NoProxy);
}

// The engine looks at a changed proxy only on the request after the change: a throwaway
// request that no proxy ever sees (local addresses always go direct) takes that turn, so
// the user's next navigation already uses the new proxy.
void letEngineSeeProxyChange() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    return;
  }
  QWebEngineProfile* profile = sharedProfile();
  if (profile == nullptr) {
    return;
  }
  QWebEnginePage page(profile);
  QEventLoop loop;
  QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);
  page.load(QUrl(QStringLiteral("http://127.0.0.1:9/")));
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool useProxy(std::uint32_t accessType, const QByteArray& proxyList) {
  const std::optional<proxy::EngineProxy> chosen =
      proxy::engineProxyFor({accessType, QString::fromLocal8Bit(proxyList), {}});
  if (!chosen) {
    return false;
  }
  QNetworkProxy::setApplicationProxy(qtProxy(*chosen));
  letEngineSeeProxyChange();
  return true;
}

}  // namespace

void initEngineProxy() {
  QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
  platform::initInternetLayer(&useProxy);
}

}  // namespace browser
