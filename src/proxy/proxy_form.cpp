#include "proxy/proxy_form.h"

#include <QStringList>
#include <QUrl>

namespace proxy {

namespace {

// The engine drops a proxy whose host it cannot parse, and then stops taking proxies at
// all: only plain host names and IPv4 addresses go through.
std::optional<QString> usableHost(const QString& host) {
  const QByteArray ace = QUrl::toAce(host, QUrl::AceTransitionalProcessing);
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

std::optional<std::uint16_t> usablePort(const QString& port) {
  if (port.isEmpty() || port.size() > 5) {
    return std::nullopt;
  }
  int value = 0;
  for (const QChar c : port) {
    if (c < u'0' || c > u'9') {
      return std::nullopt;
    }
    value = value * 10 + (c.unicode() - u'0');
  }
  if (value < 1 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

bool knownEntry(const QString& entry) {
  for (const ProxyProtocolInfo& info : kBuildOrder) {
    if (entry.startsWith(QLatin1String(info.prefix.data(), info.prefix.size()))) {
      return true;
    }
  }
  return false;
}

}  // namespace

ProxySettings settingsFromForm(const ProxyFormFields& fields) {
  return ProxySettings{
      .useProxy = fields.useProxy,
      .proxyList = buildProxyList(fields.rows),
      .bypassList = buildBypassList(fields.exceptions, fields.bypassLocal),
  };
}

bool savesAddressAndPort(const ProxyFormFields& fields) { return !fields.exceptions.isEmpty(); }

QString useSettingValue(bool useProxy) {
  return useProxy ? QStringLiteral("true") : QStringLiteral("false");
}

bool readSettings(const ProxySettings& settings, ProxyFormFields& fields) {
  if (settings.useProxy) {
    fields.useProxy = true;
  }
  fields.rows = parseProxyList(settings.proxyList, fields.rows);
  // The whole bypass list is parsed: dropping its first entry, as a reader might to skip
  // a leading part, would lose the first exception the user typed on every Apply.
  const BypassFields bypass =
      parseBypassList(settings.bypassList, {fields.exceptions, fields.bypassLocal});
  fields.exceptions = bypass.exceptions;
  fields.bypassLocal = bypass.bypassLocal;
  return settings.useProxy;
}

SameServerOutcome sameServerRule(bool useSame, const ProxyServerRow& http) {
  if (useSame) {
    return {http.host, http.port, false};
  }
  return {QString(), QString(), true};
}

std::optional<EngineProxy> engineProxyFor(const ProxySettings& settings) {
  if (!settings.useProxy) {
    return EngineProxy{};
  }
  const QString& list = settings.proxyList;
  if (list.isEmpty()) {
    return std::nullopt;
  }
  for (const QString& entry : list.split(u' ')) {
    if (!knownEntry(entry)) {
      return std::nullopt;
    }
  }
  // Rows the list does not name keep a space, which no parsed field can hold.
  ProxyRows unnamed;
  for (const ProxyProtocolInfo& info : kBuildOrder) {
    unnamed[info.protocol] = {QStringLiteral(" "), QStringLiteral(" ")};
  }
  const ProxyRows rows = parseProxyList(list, unnamed);
  std::optional<EngineProxy> chosen;
  for (const ProxyProtocol protocol :
       {ProxyProtocol::Http, ProxyProtocol::Secure, ProxyProtocol::Socks, ProxyProtocol::Ftp,
        ProxyProtocol::Gopher}) {
    const ProxyServerRow& row = rows[protocol];
    if (row == unnamed[protocol]) {
      continue;
    }
    const std::optional<QString> host = usableHost(row.host);
    const std::optional<std::uint16_t> port = usablePort(row.port);
    if (!host || !port) {
      return std::nullopt;
    }
    if (chosen) {
      continue;
    }
    if (protocol == ProxyProtocol::Ftp || protocol == ProxyProtocol::Gopher) {
      chosen = EngineProxy{};  // the engine fetches neither
    } else {
      const auto kind =
          protocol == ProxyProtocol::Socks ? EngineProxy::Kind::Socks5 : EngineProxy::Kind::Http;
      chosen = EngineProxy{kind, *host, *port};
    }
  }
  return chosen;
}

}  // namespace proxy
