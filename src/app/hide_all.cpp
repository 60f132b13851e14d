#include "app/hide_all.h"

#include "app/browser_window.h"
#include "app/command_table.h"
#include "platform/settings_store.h"

#include <QApplication>
#include <QWindow>

#include <algorithm>

namespace app {

namespace {
const QString kSection = QStringLiteral("keys");
const QString kKey = QStringLiteral("hide all");
QString settingsApplication() { return QString::fromLatin1(platform::kDefaultSettingsApplication); }
}  // namespace

HideAll& HideAll::instance() {
  static auto* self = new HideAll();
  return *self;
}

HideAll::HideAll() { connect(&m_key, &platform::GlobalKey::activated, this, &HideAll::toggle); }

QKeySequence HideAll::defaultKeys() { return keysOf(u"Desktop/Hide All").value(0); }

QKeySequence HideAll::storedKeys() {
  const QKeySequence stored(
      platform::readSetting(settingsApplication(), kSection, kKey, defaultKeys().toString()),
      QKeySequence::PortableText);
  return stored.isEmpty() ? defaultKeys() : stored;
}

QString HideAll::takenText(const QKeySequence& keys) {
  return tr("%1 is taken by another program: choose another hide-all key.")
      .arg(keys.toString(QKeySequence::NativeText));
}

QString HideAll::unusableText(const QKeySequence& keys) {
  return tr("%1 cannot be the hide-all key: use a letter, a digit or a function key with "
            "Ctrl, Alt, Shift or the logo key.")
      .arg(keys.toString(QKeySequence::NativeText));
}

void HideAll::start() {
  if (m_key.keys().isEmpty()) {
    grab(storedKeys());
  }
}

bool HideAll::grab(const QKeySequence& keys) {
  const QKeySequence before = m_key.keys();
  const platform::GlobalKey::Grab result = m_key.grab(keys);
  if (result == platform::GlobalKey::Grab::Held) {
    m_problem.clear();
    emit problemChanged(m_problem);
    return true;
  }
  m_problem = result == platform::GlobalKey::Grab::Taken ? takenText(keys) : unusableText(keys);
  if (!before.isEmpty()) {
    m_key.grab(before);
  }
  emit problemChanged(m_problem);
  return false;
}

bool HideAll::setKeys(const QKeySequence& keys) {
  if (!grab(keys)) {
    return false;
  }
  platform::saveSetting(settingsApplication(), kSection, kKey,
                        m_key.keys().toString(QKeySequence::PortableText));
  return true;
}

void HideAll::toggle() {
  const auto windows = BrowserWindow::windows();
  const bool anyInSight = std::any_of(windows.begin(), windows.end(), [](const BrowserWindow* w) {
    return !w->autoHide().isHidden();
  });
  if (anyInSight) {
    hideAll();
  } else {
    bringBackAll();
  }
}

void HideAll::hideAll() {
  // Bottom to top as the window manager stacks them; windows it does not list last.
  QList<BrowserWindow*> windows = BrowserWindow::windows();
  const auto stacking = platform::clientStackingOrder();
  const auto rank = [&](const BrowserWindow* w) {
    const auto it =
        std::find(stacking.begin(), stacking.end(), static_cast<std::uint32_t>(w->winId()));
    return it == stacking.end() ? stacking.size() : static_cast<std::size_t>(it - stacking.begin());
  };
  std::stable_sort(
      windows.begin(), windows.end(),
      [&](const BrowserWindow* a, const BrowserWindow* b) { return rank(a) < rank(b); });
  m_stacking.clear();
  for (BrowserWindow* w : windows) {
    m_stacking.append(w);
  }
  m_focused = qobject_cast<BrowserWindow*>(QApplication::activeWindow());
  for (BrowserWindow* w : windows) {
    w->autoHide().hideNow();
  }
}

bool HideAll::bringBackAll() {
  // The windows the key hid in their order, then any other hidden one (AutoHide's).
  QList<BrowserWindow*> order;
  for (const auto& w : std::as_const(m_stacking)) {
    if (!w.isNull()) {
      order.append(w.data());
    }
  }
  for (BrowserWindow* w : BrowserWindow::windows()) {
    if (!order.contains(w)) {
      order.append(w);
    }
  }
  m_stacking.clear();
  bool any = false;
  // Mapped bottom first: each one mapped goes on top of those before it.
  for (BrowserWindow* w : order) {
    if (w->autoHide().isHidden()) {
      w->autoHide().restoreNow();
      any = true;
    }
  }
  // The focus goes back once the window is shown to Qt again (after the manager maps it).
  if (BrowserWindow* focused = m_focused.data(); any && focused != nullptr) {
    if (focused->isVisible() || focused->windowHandle() == nullptr) {
      focused->activateWindow();
    } else {
      connect(
          focused->windowHandle(), &QWindow::visibleChanged, focused,
          [focused](bool visible) {
            if (visible) {
              focused->activateWindow();
            }
          },
          Qt::SingleShotConnection);
    }
  }
  m_focused.clear();
  return any;
}

}  // namespace app
