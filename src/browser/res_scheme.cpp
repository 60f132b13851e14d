#include "browser/res_scheme.h"

#include "browser/start_page.h"

#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace browser {

void registerResScheme() {
  static bool registered = false;
  if (registered) {
    return;
  }
  registered = true;
  QWebEngineUrlScheme scheme("res");
  // Path syntax keeps the address exactly as built (host syntax would lower-case and
  // re-shape it); the handler does its own exact check instead of relying on canonicalisation.
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                  QWebEngineUrlScheme::LocalAccessAllowed);
  QWebEngineUrlScheme::registerScheme(scheme);
}

ResSchemeHandler::ResSchemeHandler(QString expectedPath, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_expectedPath(std::move(expectedPath)) {}

void ResSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  if (!isStartPageRequest(job->requestUrl(), job->requestMethod(), m_expectedPath)) {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  auto* page = new QFile(QStringLiteral(":/web/PAGE.HTM"), job);
  if (!page->open(QIODevice::ReadOnly)) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  job->reply("text/html", page);
}

}  // namespace browser
