#include "browser/engine_profile.h"

#include "browser/res_scheme.h"
#include "browser/start_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <memory>

namespace browser {

namespace {
std::unique_ptr<QWebEngineProfile>& profileSlot() {
  static std::unique_ptr<QWebEngineProfile> profile;
  return profile;
}

// Off the record, the engine may still make (empty) folders under its storage path,
// which by default lies in the user's data folder (~/.local/share/<program>/QtWebEngine).
// It is pointed at a unique folder under the temporary directory that is not made in
// advance, so that normally nothing exists there at all; whatever does appear is removed
// with the profile.
QString& scratchPath() {
  static QString path;
  return path;
}
}  // namespace

QWebEngineProfile* sharedProfile() {
  auto& slot = profileSlot();
  if (!slot) {
    // The page views draw through Qt Quick, which would keep compiled shaders in the
    // user's cache folder; the attribute is read when the first view draws.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    // No storage name: an off-the-record profile.
    slot = std::make_unique<QWebEngineProfile>();
    scratchPath() = QDir::tempPath() +
                    QStringLiteral("/hushleaf-%1-%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    slot->setPersistentStoragePath(scratchPath() + QStringLiteral("/storage"));
    slot->setCachePath(scratchPath() + QStringLiteral("/cache"));
    slot->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    slot->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    slot->setSpellCheckEnabled(false);
    slot->installUrlSchemeHandler("res", new ResSchemeHandler(currentStartPagePath(), slot.get()));
    QWebEngineSettings* s = slot->settings();
    // Script opens a window only in answer to the user's click or key, one per gesture.
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    // WebRTC offers a page no local address (with the engine switch, none past the proxy).
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    // Another program's address reaches the page only from a click; the engine never
    // starts that program itself (the window asks the user first).
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowUnknownUrlSchemesFromUserInteraction);
  }
  return slot.get();
}

void releaseSharedProfile() {
  if (profileSlot()) {
    // Pages the profile keeps for itself must go before it does.
    qDeleteAll(profileSlot()->findChildren<QWebEnginePage*>(Qt::FindDirectChildrenOnly));
  }
  profileSlot().reset();
  if (!scratchPath().isEmpty()) {
    QDir(scratchPath()).removeRecursively();
    scratchPath().clear();
  }
}

}  // namespace browser
