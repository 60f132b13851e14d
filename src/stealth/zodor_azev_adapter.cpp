#include "stealth/zodor_azev_adapter.h"

#include "platform/app_title.h"
#include "platform/pointer_motion.h"
#include "platform/session_kind.h"
#include "platform/x11.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace stealth {

namespace {

using namespace std::chrono_literals;

// Qt puts its application name on the X window for an empty title; an empty caption
// must read empty to anyone looking.
void setCaption(QWidget* window, const QString& caption) {
  window->setWindowTitle(caption);
  if (caption.isEmpty() && window->windowHandle() != nullptr) {
    platform::x11::clearWindowName(static_cast<std::uint32_t>(window->winId()));
    platform::x11::flush();
  }
}

}  // namespace

ZodorAzevAdapter::ZodorAzevAdapter(QWidget* window, QAction* button, Session session)
    : m_window(window), m_button(button), m_session(session) {
  connect(&timTimer1, &MillisecondTimer::timeout, this, &ZodorAzevAdapter::timTimer1_Timer);
  m_safetyPoll.setInterval(kSafetyPoll);
  m_safetyPoll.setTimerType(Qt::CoarseTimer);
  connect(&m_safetyPoll, &QTimer::timeout, this, [this] { wake(true); });
  if (m_session == Session::Wayland) {
    m_button->setToolTip(QString::fromLatin1(kNeedsX11Session));
  } else if ((m_motion = platform::PointerMotion::instance())) {
    connect(m_motion, &platform::PointerMotion::moved, this, &ZodorAzevAdapter::moved);
  }
  connect(m_button, &QAction::toggled, this, &ZodorAzevAdapter::buttonToggled);
  m_window->installEventFilter(this);
  buttonToggled(m_button->isChecked());
}

ZodorAzevAdapter::~ZodorAzevAdapter() { listen(false); }

ZodorAzevAdapter::Session ZodorAzevAdapter::currentSession() {
  return platform::isWaylandSession() ? Session::Wayland : Session::X11;
}

void ZodorAzevAdapter::unload() {
  m_unloaded = true;
  buttonToggled(false);
}

void ZodorAzevAdapter::buttonToggled(bool pressed) {
  if (pressed && m_session == Session::Wayland) {
    if (notify) {
      notify(QString::fromLatin1(kNeedsX11Session));
    }
    return;
  }
  if (pressed && !m_unloaded) {
    listen(true);
    if (!m_window->isVisible()) {
      m_safetyPoll.start();
    }
    wake();
  } else {
    // Up: the machine keeps its state untouched until the button goes down again.
    listen(false);
    m_safetyPoll.stop();
    stopTicking();
  }
}

void ZodorAzevAdapter::listen(bool on) {
  if (m_listening != on && m_motion != nullptr) {
    m_listening = on;
    m_motion->listen(on);
  }
}

void ZodorAzevAdapter::stopTicking() {
  m_ticking = false;
  timTimer1.stop();
}

bool ZodorAzevAdapter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_window) {
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

void ZodorAzevAdapter::wake(bool tickNow) {
  if (m_ticking || m_unloaded || m_session == Session::Wayland || !m_button->isChecked()) {
    return;
  }
  m_ticking = true;
  if (tickNow) {
    timTimer1_Timer();
  } else {
    // Events arrive in the middle of other work (a native event, a show): tick after it.
    timTimer1.start();
  }
}

void ZodorAzevAdapter::moved() {
  if (m_ticking || m_unloaded || !m_button->isChecked()) {
    return;
  }
  // Most motions change nothing that matters, and a tick that only counts or notes can
  // run here and now, sparing the timer and a turn of the loop each motion. A tick that
  // would hide or restore is left to the timer: it runs from the loop, not from inside
  // Qt's handling of native events.
  TickInputs in;
  ZodorAzev trial = m_machine;
  if (!readInputs(in) || trial.Tick(in) != Action::None) {
    wake();
    return;
  }
  m_machine = std::move(trial);
  ++m_tickCount;
  emit ticked(Action::None);
  if (!m_machine.Quiescent(in)) {
    m_ticking = true;
    timTimer1.start(1ms);
  }
}

void ZodorAzevAdapter::timTimer1_Timer() {
  if (!m_ticking) {
    return;
  }
  ++m_tickCount;
  TickInputs in;
  if (!readInputs(in)) {
    stopTicking();  // nothing to read from; the poll tries again
    return;
  }
  const Action action = m_machine.Tick(in);
  if (action == Action::Hide) {
    hideWindow();
  } else if (action == Action::Restore) {
    restoreWindow();
  }
  emit ticked(action);
  if (action == Action::None && m_machine.Quiescent(in)) {
    // Nothing can happen before an input changes, and every change wakes us.
    stopTicking();
  } else if (m_ticking) {
    timTimer1.start(1ms);  // no-op while it runs; after a tick the poll made, the next
  }
}

bool ZodorAzevAdapter::readInputs(TickInputs& in) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || !m_cursor.sample()) {
    return false;
  }
  in.buttonPressed = m_button->isChecked();
  in.windowVisible = m_window->isVisible();
  // The outer rectangle, title bar and borders included.
  const QRect frame = m_window->frameGeometry();
  in.Left = twips::fromPixels(frame.x());
  in.Top = twips::fromPixels(frame.y());
  in.Width = twips::fromPixels(frame.width());
  in.Height = twips::fromPixels(frame.height());
  const QSize screenSize = screen->size();
  in.ScreenWidth = twips::fromPixels(screenSize.width());
  in.ScreenHeight = twips::fromPixels(screenSize.height());
  in.cursorX = m_cursor.mouseX();
  in.cursorY = m_cursor.mouseY();
  return true;
}

void ZodorAzevAdapter::hideWindow() {
  m_hiddenGeometry = m_window->geometry();
  // Unmapped, not moved, minimised or made clear.
  m_window->hide();
  // A shown window hears a warped pointer through Enter and Leave; a hidden one has no
  // such events, and a warp makes no raw motion, so only then does a slow poll look.
  m_safetyPoll.start();
  m_machine.setHiddenCaption(m_window->windowTitle());
  setCaption(m_window, QString());
  platform::AppTitle::set(QString());
}

void ZodorAzevAdapter::restoreWindow() {
  // The window manager forgets a withdrawn window's place and lays a window it placed
  // itself out anew (openbox does). Giving the client rectangle explicitly turns it into
  // a user position that the manager keeps. QWidget::move would give the frame position,
  // whose margins Qt no longer knows once the window is withdrawn.
  if (m_hiddenGeometry.isValid()) {
    if (QWindow* handle = m_window->windowHandle()) {
      handle->setGeometry(m_hiddenGeometry);
    } else {
      m_window->setGeometry(m_hiddenGeometry);
    }
  }
  m_window->show();
  // Qt leaves the map request in its buffer until the loop comes round, and the loop
  // has the whole window to paint first: the window manager can start now.
  platform::x11::flush();
  m_safetyPoll.stop();
  // The machine has already cleared blnEntered.
  setCaption(m_window, m_machine.state().strHiddenCaption);
  platform::AppTitle::set(platform::applicationTitle());
  // Repaint rather than take the focus: coming back must not steal the keyboard from
  // whatever the user is typing into.
  m_window->update();
}

}  // namespace stealth
