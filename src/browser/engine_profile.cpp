#include "browser/engine_profile.h"

#include "browser/res_scheme.h"
#include "browser/start_page.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <memory>

namespace browser {

namespace {
std::unique_ptr<QWebEngineProfile>& profileSlot() {
  static std::unique_ptr<QWebEngineProfile> profile;
  return profile;
}
}  // namespace

QWebEngineProfile* sharedProfile() {
  auto& slot = profileSlot();
  if (!slot) {
    // No storage name: an off-the-record profile.
    slot = std::make_unique<QWebEngineProfile>();
    slot->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    slot->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    slot->setSpellCheckEnabled(false);
    slot->installUrlSchemeHandler("res", new ResSchemeHandler(currentStartPagePath(), slot.get()));
    QWebEngineSettings* s = slot->settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
  }
  return slot.get();
}

void releaseSharedProfile() { profileSlot().reset(); }

}  // namespace browser
