#include "browser/local_files.h"

#include <QDir>
#include <QFileInfo>

namespace browser {

namespace {

bool isPageFile(const QUrl& url) {
  static const QStringList kPageSuffixes = {
      QStringLiteral("htm"),   QStringLiteral("html"), QStringLiteral("xhtml"),
      QStringLiteral("shtml"), QStringLiteral("mht"),  QStringLiteral("mhtml"),
  };
  return kPageSuffixes.contains(QFileInfo(url.path()).suffix().toLower());
}

// Whether target lies in the folder of the page, or below it.
bool besidePage(const QUrl& target, const QUrl& page) {
  if (!page.isLocalFile()) {
    return false;
  }
  const QString folder = QFileInfo(QDir::cleanPath(page.toLocalFile())).absolutePath();
  const QString path = QDir::cleanPath(target.toLocalFile());
  return path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

}  // namespace

bool mayLoadLocalFile(const QUrl& target, const QUrl& initiator, const QUrl& topPage,
                      QWebEngineUrlRequestInfo::ResourceType type) {
  if (!target.isLocalFile() || initiator.scheme() != QLatin1String("file")) {
    return true;
  }
  switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
      return true;
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
      return isPageFile(target);
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
      // A frame is the page's to read: only its own pages, as a saved page keeps them.
      return isPageFile(target) && besidePage(target, topPage);
    default:
      return false;
  }
}

}  // namespace browser
