// ParseProxyList on arbitrary text: never crashes, and what it yields survives a rebuild.
#include "proxy/proxy_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString list =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const proxy::ProxyRows parsed = proxy::ParseProxyList(list, {});
  const QString rebuilt = proxy::BuildProxyList(parsed);
  if (rebuilt.endsWith(u' ')) {
    std::abort();
  }
  // Parsed hosts hold no ":" and no field holds a space, so every row that has both a host
  // and a port comes back whole; the others were left out and keep what they held.
  if (proxy::ParseProxyList(rebuilt, parsed) != parsed) {
    std::abort();
  }
  // Rows the list does not name are never touched.
  proxy::ProxyRows sentinel;
  for (const auto& info : proxy::kBuildOrder) {
    sentinel[info.protocol] = {QStringLiteral("keep host"), QStringLiteral("keep port")};
  }
  const proxy::ProxyRows overlaid = proxy::ParseProxyList(list, sentinel);
  for (const auto& info : proxy::kBuildOrder) {
    const bool named = overlaid[info.protocol] != sentinel[info.protocol];
    if (named && overlaid[info.protocol] != parsed[info.protocol]) {
      std::abort();
    }
  }
  return 0;
}
