#include "browser/start_page.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

namespace browser {

QString startPagePath(const QString& programDir, const QString& exeBaseName) {
  return programDir + QLatin1Char('\\') + exeBaseName + QStringLiteral(".exe/page.htm");
}

QString startPageAddress(const QString& programDir, const QString& exeBaseName) {
  // Built by parts, so a "#" or "?" in the folder's name is part of the path, not the
  // start of a fragment or a query.
  QUrl url;
  url.setScheme(QStringLiteral("res"));
  url.setAuthority(QStringLiteral(""));  // empty, not absent: "res:///..."
  url.setPath(startPagePath(programDir, exeBaseName));
  // The separator is spelt as typed, not as "%5C", like every address the box shows.
  return url.toString().replace(QLatin1String("%5C"), QLatin1String("\\"), Qt::CaseInsensitive);
}

bool isStartPageRequest(const QUrl& requestUrl, const QByteArray& method,
                        const QString& expectedPath) {
  if (method != "GET" || requestUrl.scheme() != QLatin1String("res") || !requestUrl.isValid()) {
    return false;
  }
  if (!requestUrl.host().isEmpty() || !requestUrl.userInfo().isEmpty() || requestUrl.port() != -1) {
    return false;
  }
  const QString encoded = requestUrl.path(QUrl::FullyEncoded);
  if (encoded.contains(QLatin1String("%2f"), Qt::CaseInsensitive) ||
      encoded.contains(QLatin1String("%2e"), Qt::CaseInsensitive)) {
    return false;
  }
  return !expectedPath.isEmpty() && requestUrl.path(QUrl::FullyDecoded) == expectedPath;
}

namespace {
QString exeBaseName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }
}  // namespace

QString currentStartPageAddress() {
  return startPageAddress(QCoreApplication::applicationDirPath(), exeBaseName());
}

QString currentStartPagePath() {
  return startPagePath(QCoreApplication::applicationDirPath(), exeBaseName());
}

}  // namespace browser
