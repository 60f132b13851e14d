#include "stealth/auto_hide_controller.h"

#include "platform/app_title.h"
#include "platform/pointer_motion.h"
#include "platform/session_kind.h"
#include "platform/task_list.h"
#include "platform/x11.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace stealth {

namespace {

using namespace std::chrono_literals;

// A window whose place no monitor shows any longer (one unplugged, the screen made
// smaller while it was hidden) comes back in the middle of the primary monitor.
QRect onSomeScreen(const QRect& client) {
  const auto screens = QGuiApplication::screens();
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr || std::any_of(screens.begin(), screens.end(), [&](const QScreen* s) {
        return s->geometry().intersects(client);
      })) {
    return client;
  }
  QRect moved = client;
  moved.moveCenter(primary->availableGeometry().center());
  return moved;
}

}  // namespace

AutoHideController::AutoHideController(QWidget* window, QAction* button, Session session)
    : m_window(window), m_button(button), m_session(session) {
  connect(&m_tickTimer, &MillisecondTimer::timeout, this, &AutoHideController::tickFromTimer);
  m_safetyPoll.setInterval(kSafetyPoll);
  m_safetyPoll.setTimerType(Qt::CoarseTimer);
  connect(&m_safetyPoll, &QTimer::timeout, this, [this] { wake(true); });
  m_showFallback.setSingleShot(true);
  m_showFallback.setInterval(kShowFallback);
  connect(&m_showFallback, &QTimer::timeout, this, &AutoHideController::finishShowing);
  m_nap.setSingleShot(true);
  m_nap.setTimerType(Qt::PreciseTimer);
  connect(&m_nap, &QTimer::timeout, this, &AutoHideController::napOver);
  if (m_session == Session::Wayland) {
    m_button->setToolTip(tr(kNeedsX11Session));
  } else if ((m_motion = platform::PointerMotion::instance())) {
    connect(m_motion, &platform::PointerMotion::moved, this, &AutoHideController::moved);
  }
  connect(m_button, &QAction::toggled, this, &AutoHideController::buttonToggled);
  m_window->installEventFilter(this);
  buttonToggled(m_button->isChecked());
}

AutoHideController::~AutoHideController() {
  if (m_showing != nullptr) {
    m_showing->removeEventFilter(this);
  }
  endNap();
  listen(false);
}

AutoHideController::Session AutoHideController::currentSession() {
  return platform::isWaylandSession() ? Session::Wayland : Session::X11;
}

void AutoHideController::unload() {
  finishShowing();
  m_unloaded = true;
  buttonToggled(false);
}

void AutoHideController::hideNow() {
  if (m_unloaded) {
    return;
  }
  if (!m_hidden) {
    hideWindow();
  }
  m_held = true;
  endNap();
  m_safetyPoll.stop();
  stopTicking();
}

void AutoHideController::restoreNow() {
  m_held = false;
  if (m_unloaded || !m_hidden) {
    return;
  }
  // As the zone's restore leaves it: not entered, so leaving does nothing until the
  // pointer has been inside again.
  AutoHideState state = m_machine.state();
  state.entered = false;
  m_machine = AutoHide(std::move(state));
  restoreWindow();
  wake();
}

void AutoHideController::buttonToggled(bool pressed) {
  if (pressed && m_session == Session::Wayland) {
    if (notify) {
      notify(tr(kNeedsX11Session));
    }
    return;
  }
  if (pressed && !m_unloaded) {
    listen(true);
    if (!m_window->isVisible() && !m_held) {
      m_safetyPoll.start();
    }
    wake();
  } else {
    // Up: the machine keeps its state untouched until the button goes down again.
    endNap();
    listen(false);
    m_safetyPoll.stop();
    stopTicking();
  }
}

void AutoHideController::listen(bool on) {
  if (m_listening != on && m_motion != nullptr) {
    m_listening = on;
    m_motion->listen(on);
  }
}

void AutoHideController::stopTicking() {
  m_ticking = false;
  if (m_tickTimer.isActive()) {
    m_tickTimer.stop();
  }
}

void AutoHideController::startTicks(std::chrono::nanoseconds first) {
  if (!m_tickTimer.isActive()) {
    m_due = std::chrono::steady_clock::now() + std::max<std::chrono::nanoseconds>(first, 1ns);
    m_tickTimer.start(first);
  }
}

bool AutoHideController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_showing && event->type() == QEvent::Expose && m_showing->isExposed()) {
    // On screen: Qt's own show can run now without holding the window manager up. From
    // the loop, not from inside Qt's delivery of this event.
    QMetaObject::invokeMethod(this, &AutoHideController::finishShowing, Qt::QueuedConnection);
  } else if (watched == m_window) {
    switch (event->type()) {
      case QEvent::Enter:
      case QEvent::Leave:
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
        wake();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

void AutoHideController::wake(bool tickNow) {
  if (m_ticking || m_unloaded || m_held || m_session == Session::Wayland ||
      !m_button->isChecked()) {
    return;
  }
  // The window or the pointer changed in a way a nap did not reckon with.
  endNap();
  m_ticking = true;
  if (tickNow) {
    tick(std::nullopt);
  } else {
    // Events arrive in the middle of other work (a native event, a show): tick after it.
    startTicks(0ns);
  }
}

void AutoHideController::moved(std::uint32_t stamp) {
  if (m_ticking || m_napping || m_unloaded || m_held || !m_button->isChecked() ||
      (m_lookStamp && !platform::PointerMotion::isAfter(stamp, *m_lookStamp))) {
    return;  // busy, asleep, held, or the last look already saw this motion
  }
  // Read from the loop like the timer's ticks, so a tick here may act as well.
  m_ticking = true;
  tick(std::chrono::steady_clock::now(), true);
}

void AutoHideController::tickFromTimer() {
  if (!m_ticking) {
    return;
  }
  // The ticks that fell due since the last one, this one included: more than one when
  // the loop was too busy to take them on time.
  const auto late = std::chrono::steady_clock::now() - m_due;
  const std::int64_t missed = late > 0ns ? late / 1ms : 0;
  m_due += (missed + 1) * 1ms;
  tick(std::nullopt, false,
       1 + static_cast<int>(std::min<std::int64_t>(missed, kMostTicksToQuiet - 1)));
}

void AutoHideController::tick(std::optional<std::chrono::steady_clock::time_point> arrived,
                              bool answersMotion, int due) {
  TickInputs in;
  if (!readInputs(in)) {
    ++m_tickCount;
    m_lookStamp.reset();
    m_lastInputs.reset();
    endNap();
    stopTicking();  // nothing to read from; the poll tries again
    return;
  }
  const std::optional<std::uint32_t> previous =
      std::exchange(m_lookStamp, m_motion != nullptr ? m_motion->lastReading() : std::nullopt);
  // Ticks the loop was too busy to take would have seen what this one sees when nothing
  // moved since the last look: the pointer lay still, and they count as they fell due.
  int ticks = 1;
  if (due > 1 && m_lastInputs == in && previous && m_lookStamp &&
      !m_motion->movedAfter(*previous)) {
    ticks = due;
  }
  m_lastInputs = in;
  Action action = Action::None;
  for (int i = 0; i < ticks; ++i) {
    ++m_tickCount;
    action = m_machine.tick(in);
    if (action == Action::Hide) {
      hideWindow();
    } else if (action == Action::Restore) {
      restoreWindow();
    }
    emit ticked(action);
    if (action != Action::None || m_machine.isQuiescent(in)) {
      break;
    }
  }
  if (action == Action::None && m_machine.isQuiescent(in)) {
    // Nothing can happen before an input changes, and every change wakes us.
    stopTicking();
    // A pointer that moved may move on; one that jumped and lay still, not.
    if (!(answersMotion && rest(in))) {
      endNap();
    }
    return;
  }
  endNap();
  if (m_ticking && arrived) {
    // This tick stands for the moment the motion arrived; the next one falls a
    // millisecond after it, not a millisecond after the pointer query.
    startTicks(1ms - (std::chrono::steady_clock::now() - *arrived));
  } else if (m_ticking) {
    startTicks(1ms);  // no-op while it runs; after a tick the poll made, the next
  }
}

bool AutoHideController::rest(const TickInputs& in) {
  if (m_motion == nullptr || !m_lookStamp || !m_listening) {
    return false;
  }
  // A millisecond early, against a timer that fires late; naps shorter than two are not
  // worth their wake-up.
  const double ms = m_machine.quietDistance(in) / kHandSpeed - 1.0;
  if (ms < 2.0) {
    return false;
  }
  // A nap that ends with the pointer far again goes on without hearing the motions that
  // came meanwhile: each of them would only wake us to find it as far.
  if (!m_napping) {
    m_napping = true;
    m_motion->pause(true);
  }
  m_nap.start(static_cast<int>(std::min(ms, 3600e3)));
  return true;
}

void AutoHideController::endNap() {
  if (m_napping) {
    m_napping = false;
    m_nap.stop();
    m_motion->pause(false);
  }
}

void AutoHideController::napOver() {
  if (!m_napping) {
    return;
  }
  // A pointer that did not move since the last look is still where nothing can happen:
  // its next motion wakes us as usual. One that moved is looked at, still paused: the
  // look either naps on or resumes hearing motion.
  if (m_ticking || (m_lookStamp && !m_motion->movedSince(*m_lookStamp))) {
    endNap();
    return;
  }
  m_ticking = true;
  tick(std::nullopt, true);
}

bool AutoHideController::readInputs(TickInputs& in) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || !m_pointer.sample()) {
    return false;
  }
  in.buttonPressed = m_button->isChecked();
  in.windowVisible = m_window->isVisible() || m_showing != nullptr;
  // Everything in the primary monitor's own coordinates: the zone is its lower-right
  // part, wherever it lies among the others. Its size is read at each look.
  const QPoint origin = screen->geometry().topLeft();
  in.frame = m_window->frameGeometry().translated(-origin);
  in.screen = screen->size();
  in.cursorX = m_pointer.x() - origin.x();
  in.cursorY = m_pointer.y() - origin.y();
  return true;
}

void AutoHideController::hideWindow() {
  finishShowing();
  m_hiddenGeometry = m_window->geometry();
  // Unmapped, not moved, minimised or made clear. Qt unmaps only after telling every
  // child, the page's engine among them, that it is hidden (milliseconds): the window
  // leaves the screen first, and Qt's own unmap then finds it gone.
  if (m_window->windowHandle() != nullptr) {
    platform::x11::withdrawWindow(static_cast<std::uint32_t>(m_window->winId()));
  }
  m_window->hide();
  // A shown window hears a warped pointer through Enter and Leave; a hidden one has no
  // such events, and a warp makes no raw motion, so only then does a slow poll look.
  m_safetyPoll.start();
  m_machine.setHiddenCaption(m_window->windowTitle());
  m_hidden = true;
  platform::setCaption(m_window, QString());
  platform::AppTitle::set(QString());
  emit hiddenChanged(true);
}

void AutoHideController::restoreWindow() {
  QWindow* handle = m_window->windowHandle();
  // The window manager forgets a withdrawn window's place and lays a window it placed
  // itself out anew (openbox does). The client rectangle is given explicitly, to Qt and
  // to the X server as a user position that the manager keeps: Qt writes no hints when
  // the rectangle is the one it already knew (the user dragged the window there).
  // QWidget::move would give the frame position, whose margins Qt no longer knows once
  // the window is withdrawn.
  if (m_hiddenGeometry.isValid()) {
    m_hiddenGeometry = onSomeScreen(m_hiddenGeometry);
    if (handle != nullptr) {
      handle->setGeometry(m_hiddenGeometry);
      platform::x11::placeAsUser(static_cast<std::uint32_t>(m_window->winId()),
                                 m_hiddenGeometry.x(), m_hiddenGeometry.y(),
                                 m_hiddenGeometry.width(), m_hiddenGeometry.height());
    } else {
      m_window->setGeometry(m_hiddenGeometry);
    }
  }
  m_safetyPoll.stop();
  // The machine has already cleared entered. Title and caption come first: the window
  // manager frames the window with what it finds at the map.
  platform::AppTitle::set(platform::applicationTitle());
  const std::optional<QString> caption = restoredCaption ? restoredCaption() : std::nullopt;
  platform::setCaption(m_window, caption.value_or(m_machine.state().hiddenCaption));
  m_hidden = false;
  if (handle == nullptr || m_window->windowState() != Qt::WindowNoState) {
    // Qt writes a maximised or full-screen state in show(), before its map.
    emit hiddenChanged(false);
    return showNow();
  }
  // Qt maps only at the end of show(), after telling every child, the page's engine among
  // them, that it is shown (milliseconds), and that work then competes with the window
  // manager framing the window anew. So the window is mapped at once, with everything
  // the manager reads at the map already written (the position and size hints above,
  // the caption, the task-list state), and Qt's show follows once it is on the screen.
  if (!platform::taskVisible()) {
    platform::applySkipTaskbar(m_window);
  }
  m_showing = handle;
  m_showing->installEventFilter(this);
  m_showFallback.start();
  platform::x11::mapWindow(static_cast<std::uint32_t>(m_window->winId()));
  // The page wakes while the window manager frames the window, not before the map.
  emit hiddenChanged(false);
}

void AutoHideController::finishShowing() {
  if (m_showing == nullptr) {
    return;
  }
  m_showing->removeEventFilter(this);
  m_showing = nullptr;
  m_showFallback.stop();
  showNow();  // maps nothing anew: the window is mapped already
}

void AutoHideController::showNow() {
  m_window->show();
  platform::x11::flush();
  // Repaint rather than take the focus: coming back must not steal the keyboard from
  // whatever the user is typing into.
  m_window->update();
}

}  // namespace stealth
