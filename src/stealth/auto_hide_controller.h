#pragma once

#include "stealth/auto_hide.h"
#include "stealth/millisecond_timer.h"
#include "stealth/pointer_sampler.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QWidget;
class QWindow;

namespace platform {
class PointerMotion;
}

namespace stealth {

// What the user is told on pressing "ZodorAzev" in a Wayland session.
inline constexpr const char* kNeedsX11Session =
    "ZodorAzev needs an X11 session: in this Wayland session the window stays in sight.";

// Runs the AutoHide decision of one top-level window and carries out Hide and Restore
// on it. It owns the window's timer and ticks only while something can change: from the
// button going down, a pointer motion anywhere, the pointer entering or leaving the
// window, or the window moving, resizing, showing or hiding, until the machine is
// quiescent. With the button up nothing runs at all, and pointer motion is not even
// listened to. A slow poll while the window is hidden catches what sends no event (a
// warp by another program into the zone).
//
// A quiescent machine far from anything that matters (the zone while hidden, the inside
// of a window not entered yet) stops hearing motion for as long as a hand at its top
// speed needs to get there, and then looks again if the pointer moved meanwhile: no tick
// skipped that way could have done or counted anything.
// Observes `window` and `button` (the checkable "ZodorAzev" toolbar action); both must
// outlive it, so make it a member of the window.
class AutoHideController : public QObject {
  Q_OBJECT

 public:
  enum class Session { X11, Wayland };
  // How often the pointer is looked at while the window is hidden and nothing moves: a
  // warp into the zone sends no event. Each look is one tick and one pointer query, and
  // waking a sleeping process is dear: on the 2-core machine measured, the main thread
  // spent about 0.35 % of a core looking four times a second, about 0.2 % once a second
  // (a hidden window costs 0.03 % without any look).
  static constexpr std::chrono::milliseconds kSafetyPoll{1000};
  // How long a restored window waits for the window manager to put it on the screen
  // before Qt's show runs anyway.
  static constexpr std::chrono::milliseconds kShowFallback{100};
  // The fastest a hand moves the pointer, in pixels a millisecond: a flick across a
  // 1920-pixel screen in a fifth of a second (aimed moves peak at a third to half that).
  // Each nap costs two wake-ups (its timer and the look), so this sets the cost of a
  // pointer moving at a distance: one look per distance / speed.
  static constexpr double kHandSpeed = 10.0;
  // Unchanged inputs bring the machine to rest within this many ticks (two to hide,
  // eleven to come back): no more of those the loop missed are worth taking late.
  static constexpr int kMostTicksToQuiet = 13;

  AutoHideController(QWidget* window, QAction* button, Session session = currentSession());
  AutoHideController(const AutoHideController&) = delete;
  AutoHideController& operator=(const AutoHideController&) = delete;
  ~AutoHideController() override;

  static Session currentSession();

  // Tells the user something (the window shows it in its status bar).
  std::function<void(const QString&)> notify;
  // The caption a restored window comes back with; without one, the caption it had when
  // it was hidden.
  std::function<std::optional<QString>()> restoredCaption;

  // The window is unloading: no tick runs again.
  void unload();
  // Hides the window as AutoHide does and holds it hidden: the zone does not bring it
  // back, only restoreNow() does (the hide-all key, a second start of the program).
  void hideNow();
  // Brings a hidden window back as the zone does, whatever hid it.
  void restoreNow();
  // Hidden by AutoHide or by hideNow(), and not yet restored.
  [[nodiscard]] bool isHidden() const noexcept { return m_hidden; }
  [[nodiscard]] bool isHeld() const noexcept { return m_held; }
  // Tests lengthen it to see that events alone wake the timer.
  void setSafetyPoll(std::chrono::milliseconds period) { m_safetyPoll.setInterval(period); }

  [[nodiscard]] bool timerRunning() const noexcept { return m_ticking; }
  [[nodiscard]] bool listensToMotion() const noexcept { return m_listening; }
  // Not hearing motion until a hand could have brought the pointer anywhere that matters.
  [[nodiscard]] bool napping() const noexcept { return m_napping; }
  [[nodiscard]] std::uint64_t tickCount() const noexcept { return m_tickCount; }
  [[nodiscard]] const AutoHideState& state() const noexcept { return m_machine.state(); }
  [[nodiscard]] PointerSampler& pointer() noexcept { return m_pointer; }

 signals:
  // After every tick, with what it did (the pointer it saw is in pointer()).
  void ticked(stealth::Action action);
  // The window has just been hidden (before its caption is emptied elsewhere), or is
  // coming back (caption and title restored, not yet mapped): the owner quiets or
  // wakes what the window holds, and may give the caption it should come back with.
  void hiddenChanged(bool hidden);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buttonToggled(bool pressed);
  void listen(bool on);
  void stopTicking();
  // Starts ticking unless it already runs: at once, or from the next turn of the loop.
  void wake(bool tickNow = false);
  // A pointer motion anywhere.
  void moved(std::uint32_t stamp);
  void tickFromTimer();
  // One tick; `arrived` is when the motion it answers came. Only a tick that answers a
  // motion may start a nap.
  // `due` counts the timer's ticks that fell due since the last one, this one included.
  void tick(std::optional<std::chrono::steady_clock::time_point> arrived,
            bool answersMotion = false, int due = 1);
  // After a quiescent tick: naps, or naps on, while the pointer is far from all that
  // matters. False when it does not.
  bool rest(const TickInputs& in);
  // Starts the timer unless it runs, its first tick after `first`.
  void startTicks(std::chrono::nanoseconds first);
  void endNap();
  void napOver();
  bool readInputs(TickInputs& in);
  void hideWindow();
  void restoreWindow();
  // Qt's own show of a window that restoreWindow mapped ahead of it.
  void finishShowing();
  // Qt's show, sent to the X server now, and a repaint.
  void showNow();

  QWidget* m_window;
  QAction* m_button;
  Session m_session;
  AutoHide m_machine;
  PointerSampler m_pointer;
  MillisecondTimer m_tickTimer;
  QTimer m_safetyPoll;
  QTimer m_showFallback;
  QTimer m_nap;
  // The window's QWindow while it is mapped but Qt has not shown it yet.
  QPointer<QWindow> m_showing;
  QPointer<platform::PointerMotion> m_motion;
  bool m_ticking = false;
  bool m_listening = false;
  bool m_unloaded = false;
  bool m_hidden = false;
  // Hidden by hideNow(): no tick runs until restoreNow().
  bool m_held = false;
  bool m_napping = false;
  // The stamp of the pointer reading the last tick used, when it has one.
  std::optional<std::uint32_t> m_lookStamp;
  // What the last tick read.
  std::optional<TickInputs> m_lastInputs;
  // When the timer's next tick falls due.
  std::chrono::steady_clock::time_point m_due;
  std::uint64_t m_tickCount = 0;
  // Where the window stood when it was hidden; it comes back there.
  QRect m_hiddenGeometry;
};

}  // namespace stealth
