#pragma once

#include "platform/global_key.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace app {

class BrowserWindow;

// The hide-all key: pressed once, every browser window hides as AutoHide hides one and
// stays hidden (the zone does not bring it back); pressed again, or the program started
// again, they all come back where they were, in their stacking order, the keyboard focus
// where it was. The key is kept in the settings store.
class HideAll : public QObject {
  Q_OBJECT

 public:
  static HideAll& instance();

  // Ctrl+Alt+Shift+H: no common desktop (GNOME, KDE Plasma, Xfce, Cinnamon) binds it.
  static QKeySequence defaultKeys();
  // The stored key, or the default.
  static QKeySequence storedKeys();

  // Grabs the stored key; a failure is told through problem().
  void start();
  // The key, pressed: hides every window, or, with none in sight, brings them back.
  void toggle();
  void hideAll();
  // Brings back every hidden window; false when none was hidden.
  bool bringBackAll();

  [[nodiscard]] QKeySequence keys() const { return m_key.keys(); }
  // Makes `keys` the hide-all key and stores it. False when it cannot be held (taken by
  // another program, or not a usable combination): the key before stays, and problem()
  // says why.
  bool setKeys(const QKeySequence& keys);
  // Why the key asked for is not held; empty while it is.
  [[nodiscard]] QString problem() const { return m_problem; }

  // What the user is told when another program holds the combination.
  static QString takenText(const QKeySequence& keys);
  static QString unusableText(const QKeySequence& keys);

 signals:
  // A new problem with the key (for the status bars), or none.
  void problemChanged(const QString& text);

 private:
  HideAll();
  bool grab(const QKeySequence& keys);

  platform::GlobalKey m_key;
  QString m_problem;
  // The windows the key hid, bottom to top, and the one that had the keyboard focus.
  QList<QPointer<BrowserWindow>> m_stacking;
  QPointer<BrowserWindow> m_focused;
};

}  // namespace app
