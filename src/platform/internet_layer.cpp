#include "platform/internet_layer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHostAddress>
#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <cstring>

namespace platform {

namespace {

struct InternetState {
  std::uint32_t accessType = INTERNET_OPEN_TYPE_DIRECT;
  QByteArray proxyList;
  QByteArray bypassList;
  EngineProfileProvider engineProfile = nullptr;
};

InternetState& state() {
  static InternetState s;
  return s;
}

QByteArray textAt(const char* text) { return text == nullptr ? QByteArray() : QByteArray(text); }

struct ProxyEntry {
  QByteArray host;
  QByteArray port;  // empty when none was given
  bool bracketed = false;
};

// Splits "host:port", "host" or "[v6]:port". The engine wants a plain host name.
ProxyEntry splitHostPort(const QByteArray& value) {
  ProxyEntry entry;
  const qsizetype colon = value.lastIndexOf(':');
  const qsizetype bracket = value.lastIndexOf(']');
  if (colon >= 0 && colon > bracket) {
    entry.host = value.left(colon);
    entry.port = value.mid(colon + 1);
  } else {
    entry.host = value;
  }
  if (entry.host.size() >= 2 && entry.host.startsWith('[') && entry.host.endsWith(']')) {
    entry.host = entry.host.mid(1, entry.host.size() - 2);
    entry.bracketed = true;
  }
  return entry;
}

// The engine drops a proxy configuration with a host it cannot parse, and stops taking
// configurations at all after that: only plain host names and IP addresses get through.
std::optional<QString> usableHost(const QByteArray& host, bool bracketed) {
  if (host.isEmpty()) {
    return std::nullopt;
  }
  const QString text = QString::fromLocal8Bit(host);
  if (bracketed) {
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv6Protocol) {
      return std::nullopt;
    }
    return address.toString();
  }
  const QByteArray ace = QUrl::toAce(text, QUrl::AceTransitionalProcessing);
  if (ace.isEmpty() || ace.startsWith('.') || ace.startsWith('-') || ace.contains("..")) {
    return std::nullopt;
  }
  for (const char c : ace) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '.' || c == '_';
    if (!ok) {
      return std::nullopt;
    }
  }
  return QString::fromLatin1(ace);
}

std::optional<quint16> usablePort(const QByteArray& port, quint16 fallback) {
  if (port.isEmpty()) {
    return fallback;
  }
  if (port.size() > 5) {
    return std::nullopt;
  }
  int value = 0;
  for (const char c : port) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<quint16>(value);
}

// A throwaway request that no proxy ever sees (local addresses always go direct). The
// engine looks at a changed proxy on the request after the change; making that request
// ours means the user's next navigation already uses the new proxy.
void letEngineSeeProxyChange() {
  const InternetState& s = state();
  if (s.engineProfile == nullptr ||
      qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    return;
  }
  QWebEngineProfile* profile = s.engineProfile();
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

}  // namespace

std::optional<QNetworkProxy> engineProxyFor(std::uint32_t accessType, const QByteArray& proxyList) {
  if (accessType == INTERNET_OPEN_TYPE_DIRECT) {
    return QNetworkProxy(QNetworkProxy::NoProxy);
  }
  if (accessType != INTERNET_OPEN_TYPE_PROXY) {
    return std::nullopt;
  }
  std::optional<QByteArray> http, bare, https, socks;
  bool otherSchemes = false;
  // Our lists separate entries with spaces; lists written elsewhere may use ";".
  QByteArray normalized = proxyList;
  normalized.replace(';', ' ').replace('\t', ' ');
  for (const QByteArray& entry : normalized.split(' ')) {
    if (entry.isEmpty()) {
      continue;
    }
    const qsizetype eq = entry.indexOf('=');
    if (eq < 0) {
      bare = entry;  // later entries win
      continue;
    }
    const QByteArray scheme = entry.left(eq).toLower();
    const QByteArray value = entry.mid(eq + 1);
    if (scheme == "http") {
      http = value;
    } else if (scheme == "https") {
      https = value;
    } else if (scheme == "socks") {
      socks = value;
    } else if (scheme == "ftp" || scheme == "gopher") {
      otherSchemes = true;
    }
  }
  const auto make = [](const QByteArray& value, QNetworkProxy::ProxyType type,
                       quint16 defaultPort) -> std::optional<QNetworkProxy> {
    const ProxyEntry entry = splitHostPort(value);
    const std::optional<quint16> port = usablePort(entry.port, defaultPort);
    const std::optional<QString> host = usableHost(entry.host, entry.bracketed);
    if (!host || !port) {
      return std::nullopt;
    }
    return QNetworkProxy(type, *host, *port);
  };
  if (http) {
    return make(*http, QNetworkProxy::HttpProxy, 80);
  }
  if (bare) {
    return make(*bare, QNetworkProxy::HttpProxy, 80);
  }
  if (https) {
    return make(*https, QNetworkProxy::HttpProxy, 80);
  }
  if (socks) {
    return make(*socks, QNetworkProxy::Socks5Proxy, 1080);
  }
  if (otherSchemes) {
    return QNetworkProxy(QNetworkProxy::NoProxy);
  }
  return std::nullopt;
}

void initInternetLayer(EngineProfileProvider engineProfile) {
  InternetState& s = state();
  s.accessType = INTERNET_OPEN_TYPE_DIRECT;
  s.proxyList.clear();
  s.bypassList.clear();
  s.engineProfile = engineProfile;
  // DefaultProxy would let the engine fall back to the environment's proxy variables.
  QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

bool InternetQueryOptionA(HINTERNET hInternet, std::uint32_t dwOption, void* lpBuffer,
                          std::uint32_t* lpdwBufferLength) {
  if (hInternet != nullptr || dwOption != INTERNET_OPTION_PROXY || lpdwBufferLength == nullptr) {
    return false;
  }
  const InternetState& s = state();
  const std::size_t recordSize = sizeof(INTERNET_PROXY_INFO);
  const std::size_t needed = recordSize + static_cast<std::size_t>(s.proxyList.size()) + 1 +
                             static_cast<std::size_t>(s.bypassList.size()) + 1;
  if (lpBuffer == nullptr || *lpdwBufferLength < needed) {
    *lpdwBufferLength = static_cast<std::uint32_t>(needed);
    return false;
  }
  auto* bytes = static_cast<char*>(lpBuffer);
  char* proxyText = bytes + recordSize;
  char* bypassText = proxyText + s.proxyList.size() + 1;
  std::memcpy(proxyText, s.proxyList.constData(), static_cast<std::size_t>(s.proxyList.size()) + 1);
  std::memcpy(bypassText, s.bypassList.constData(),
              static_cast<std::size_t>(s.bypassList.size()) + 1);
  const INTERNET_PROXY_INFO record{s.accessType, proxyText, bypassText};
  std::memcpy(bytes, &record, recordSize);  // the caller's buffer need not be aligned
  *lpdwBufferLength = static_cast<std::uint32_t>(needed);
  return true;
}

bool InternetSetOptionA(HINTERNET hInternet, std::uint32_t dwOption, const void* lpBuffer,
                        std::uint32_t dwBufferLength) {
  if (hInternet != nullptr || dwOption != INTERNET_OPTION_PROXY || lpBuffer == nullptr ||
      dwBufferLength != sizeof(INTERNET_PROXY_INFO)) {
    return false;
  }
  INTERNET_PROXY_INFO record{};
  std::memcpy(&record, lpBuffer, sizeof record);
  const QByteArray proxyList = textAt(record.lpszProxy);
  const QByteArray bypassList = textAt(record.lpszProxyBypass);
  const std::optional<QNetworkProxy> engineProxy = engineProxyFor(record.dwAccessType, proxyList);
  if (!engineProxy) {
    return false;
  }
  InternetState& s = state();
  s.accessType = record.dwAccessType;
  s.proxyList = proxyList;
  s.bypassList = bypassList;
  QNetworkProxy::setApplicationProxy(*engineProxy);
  letEngineSeeProxyChange();
  return true;
}

}  // namespace platform
