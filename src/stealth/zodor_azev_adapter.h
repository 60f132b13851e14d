#pragma once

#include "stealth/cursor_ctrl.h"
#include "stealth/zodor_azev.h"

#include <QRect>

class QAction;
class QWidget;

namespace stealth {

// Runs the ZodorAzev decision of one top-level window on each tick of its timer and
// carries out Hide and Restore on it. Observes `window` and `button` (the checkable
// ZodorAzev toolbar action); both must outlive it, so make it a member of the window.
class ZodorAzevAdapter {
 public:
  ZodorAzevAdapter(QWidget* window, QAction* button);
  ZodorAzevAdapter(const ZodorAzevAdapter&) = delete;
  ZodorAzevAdapter& operator=(const ZodorAzevAdapter&) = delete;

  // The body of the window's timer tick. With the button up it reads nothing.
  // Returns what the tick did.
  Action tick();

  [[nodiscard]] const ZodorAzevState& state() const noexcept { return m_machine.state(); }
  [[nodiscard]] CursorCtrl& CursorCtrl1() noexcept { return m_cursor; }

 private:
  void hideWindow();
  void restoreWindow();

  QWidget* m_window;
  QAction* m_button;
  ZodorAzev m_machine;
  CursorCtrl m_cursor;
  // Where the window stood when it was hidden; it comes back there.
  QRect m_hiddenGeometry;
};

}  // namespace stealth
