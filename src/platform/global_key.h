#pragma once

#include <QKeySequence>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// One key combination that works from any program: a passive grab on the root window,
// on the connection Qt already reads, taken with every state of the lock modifiers (Caps
// Lock, Num Lock, Scroll Lock) so that it works whichever of them are on.
class GlobalKey : public QObject {
  Q_OBJECT

 public:
  enum class Grab {
    Held,
    // Another program holds the combination (BadAccess).
    Taken,
    // A key the grab cannot name (no X11, or no key of the keyboard makes it).
    Unusable,
  };

  explicit GlobalKey(QObject* parent = nullptr);
  ~GlobalKey() override;
  GlobalKey(const GlobalKey&) = delete;
  GlobalKey& operator=(const GlobalKey&) = delete;

  // Grabs the first combination of `keys` in place of the one held; on failure nothing
  // is held.
  Grab grab(const QKeySequence& keys);
  void release();
  [[nodiscard]] QKeySequence keys() const { return m_keys; }

 signals:
  // The combination was pressed, in whatever program had the focus.
  void activated();

 private:
  class Filter;
  std::unique_ptr<Filter> m_filter;
  QKeySequence m_keys;
  std::uint8_t m_keycode = 0;
  std::uint16_t m_modifiers = 0;
};

// The top-level windows the window manager manages, bottom to top
// (_NET_CLIENT_LIST_STACKING); empty without a manager that publishes it.
[[nodiscard]] std::vector<std::uint32_t> clientStackingOrder();

}  // namespace platform
