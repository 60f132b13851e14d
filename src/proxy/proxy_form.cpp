#include "proxy/proxy_form.h"

namespace proxy {

ProxyConfiguration configurationFromForm(const ProxyFormFields& fields) {
  return ProxyConfiguration{
      .accessType = fields.useProxy ? kAccessProxy : kAccessDirect,
      .proxyList = BuildProxyList(fields.rows),
      .bypassList = BuildBypassList(fields.exceptions, fields.bypassLocal),
  };
}

bool savesAddressAndPort(const ProxyFormFields& fields) { return !fields.exceptions.isEmpty(); }

QString useSettingValue(bool useProxy) {
  return useProxy ? QStringLiteral("true") : QStringLiteral("false");
}

bool readConfiguration(const ProxyConfiguration& configuration, ProxyFormFields& fields) {
  const bool checks = configuration.accessType == kAccessProxy;
  if (checks) {
    fields.useProxy = true;
  }
  fields.rows = ParseProxyList(configuration.proxyList, fields.rows);
  // The whole bypass list is parsed: dropping its first entry, as a reader might to skip
  // a leading part, would lose the first exception the user typed on every Apply.
  const BypassFields bypass =
      ParseBypassList(configuration.bypassList, {fields.exceptions, fields.bypassLocal});
  fields.exceptions = bypass.exceptions;
  fields.bypassLocal = bypass.bypassLocal;
  return checks;
}

SameServerOutcome sameServerRule(bool useSame, const ProxyServerRow& http) {
  if (useSame) {
    return {http.host, http.port, false};
  }
  return {QString(), QString(), true};
}

}  // namespace proxy
