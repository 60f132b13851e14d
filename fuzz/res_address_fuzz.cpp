// res: address handling: whatever the address, only the exact start page is
// accepted, and anything accepted decodes to exactly that path.
#include "browser/start_page.h"

#include <QUrl>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QString kPath = browser::startPagePath(QStringLiteral("/usr/lib/hushleaf"),
                                                      QStringLiteral("hushleaf-browser"));
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QString& candidate :
       {text, QStringLiteral("res://") + text, QStringLiteral("res:") + text}) {
    const QUrl url(candidate);
    for (const QByteArray method : {QByteArray("GET"), QByteArray("POST")}) {
      if (browser::isStartPageRequest(url, method, kPath)) {
        if (method != "GET" || url.path(QUrl::FullyDecoded) != kPath || !url.host().isEmpty() ||
            url.path(QUrl::FullyDecoded).contains(QStringLiteral("/../"))) {
          std::abort();
        }
      }
    }
  }
  return 0;
}
