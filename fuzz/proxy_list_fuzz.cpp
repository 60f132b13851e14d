// parseProxyList on arbitrary text: never crashes, and what it yields survives a rebuild;
// the engine's one proxy, taken from the same rows, survives it too.
#include "proxy/proxy_codec.h"
#include "proxy/proxy_form.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString list =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const proxy::ProxyRows parsed = proxy::parseProxyList(list, {});
  const QString rebuilt = proxy::buildProxyList(parsed);
  if (rebuilt.endsWith(u' ')) {
    std::abort();
  }
  // Parsed hosts hold no ":" and no field holds a space, so every row that has both a host
  // and a port comes back whole; the others were left out and keep what they held.
  if (proxy::parseProxyList(rebuilt, parsed) != parsed) {
    std::abort();
  }
  // Rows the list does not name are never touched.
  proxy::ProxyRows sentinel;
  for (const auto& info : proxy::kBuildOrder) {
    sentinel[info.protocol] = {QStringLiteral("keep host"), QStringLiteral("keep port")};
  }
  const proxy::ProxyRows overlaid = proxy::parseProxyList(list, sentinel);
  for (const auto& info : proxy::kBuildOrder) {
    const bool named = overlaid[info.protocol] != sentinel[info.protocol];
    if (named && overlaid[info.protocol] != parsed[info.protocol]) {
      std::abort();
    }
  }
  // Direct is never refused. A proxy the engine takes is one of the rows, with a host and
  // a port it can use, and the dialog's rebuilt list gives the engine the same proxy.
  if (!proxy::engineProxyFor({false, list, {}})) {
    std::abort();
  }
  const auto chosen = proxy::engineProxyFor({true, list, {}});
  if (chosen) {
    if (chosen->kind != proxy::EngineProxy::Kind::Direct &&
        (chosen->host.isEmpty() || chosen->port == 0 || chosen->host.contains(u' '))) {
      std::abort();
    }
    if (proxy::engineProxyFor({true, rebuilt, {}}) != chosen) {
      std::abort();
    }
  }
  return 0;
}
