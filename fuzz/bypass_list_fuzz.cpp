// parseBypassList on arbitrary text: never crashes, never clears the flag, and where an
// exception text can be written back unchanged, it reads back unchanged.
#include "proxy/proxy_codec.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString list =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const proxy::BypassFields kept{QStringLiteral("old"), true};
  if (!proxy::parseBypassList(list, kept).bypassLocal) {
    std::abort();
  }
  const proxy::BypassFields parsed = proxy::parseBypassList(list, {});
  const QString rebuilt = proxy::buildBypassList(parsed.exceptions, parsed.bypassLocal);
  if (rebuilt.startsWith(u' ') || rebuilt.endsWith(u' ')) {
    std::abort();
  }
  // Holds when no piece of the text is empty at either end or is "<local>" itself
  // (building trims the ends, and a "<local>" piece would read back as the flag).
  const QStringList pieces = parsed.exceptions.split(u';');
  const bool writable = !parsed.exceptions.isEmpty() && !pieces.front().isEmpty() &&
                        !pieces.back().isEmpty() && !pieces.contains(proxy::kLocalEntry) &&
                        !parsed.exceptions.contains(u' ');
  if (writable && proxy::parseBypassList(rebuilt, {}) != parsed) {
    std::abort();
  }
  return 0;
}
