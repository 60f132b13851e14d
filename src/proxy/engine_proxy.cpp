#include "proxy/engine_proxy.h"

#include "browser/engine_profile.h"

#include <QGuiApplication>
#include <QNetworkProxy>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace proxy {

namespace {

ProxySettings& current() {
  static ProxySettings settings;
  return settings;
}

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
// the user's next navigation already uses the new proxy. The page is the profile's child,
// so the profile's release takes it along if it is still waiting.
void letEngineSeeProxyChange() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    return;
  }
  QWebEngineProfile* profile = browser::sharedProfile();
  if (profile == nullptr) {
    return;
  }
  auto* page = new QWebEnginePage(profile, profile);
  QObject::connect(page, &QWebEnginePage::loadFinished, page, &QObject::deleteLater);
  QTimer::singleShot(5000, page, &QObject::deleteLater);
  page->load(QUrl(QStringLiteral("http://127.0.0.1:9/")));
}

}  // namespace

void initEngineProxy() {
  QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
  current() = {};
}

const ProxySettings& proxySettings() { return current(); }

bool applyProxySettings(const ProxySettings& settings) {
  const std::optional<proxy::EngineProxy> chosen = engineProxyFor(settings);
  if (!chosen) {
    return false;
  }
  QNetworkProxy::setApplicationProxy(qtProxy(*chosen));
  letEngineSeeProxyChange();
  current() = settings;
  return true;
}

}  // namespace proxy
