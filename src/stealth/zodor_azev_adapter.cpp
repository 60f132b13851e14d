#include "stealth/zodor_azev_adapter.h"

#include "platform/app_title.h"
#include "platform/x11.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace stealth {

namespace {

float twips(int pixels) { return static_cast<float>(pixels) * static_cast<float>(kTwipsPerPixel); }

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

ZodorAzevAdapter::ZodorAzevAdapter(QWidget* window, QAction* button)
    : m_window(window), m_button(button) {}

Action ZodorAzevAdapter::tick() {
  if (m_window == nullptr || m_button == nullptr || !m_button->isChecked()) {
    return Action::None;
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || !m_cursor.sample()) {
    return Action::None;
  }
  TickInputs in;
  in.buttonPressed = true;
  in.windowVisible = m_window->isVisible();
  // The outer rectangle, title bar and borders included.
  const QRect frame = m_window->frameGeometry();
  in.Left = twips(frame.x());
  in.Top = twips(frame.y());
  in.Width = twips(frame.width());
  in.Height = twips(frame.height());
  const QSize screenSize = screen->size();
  in.ScreenWidth = twips(screenSize.width());
  in.ScreenHeight = twips(screenSize.height());
  in.cursorX = m_cursor.mouseX();
  in.cursorY = m_cursor.mouseY();

  const Action action = m_machine.Tick(in);
  if (action == Action::Hide) {
    hideWindow();
  } else if (action == Action::Restore) {
    restoreWindow();
  }
  return action;
}

void ZodorAzevAdapter::hideWindow() {
  m_hiddenGeometry = m_window->geometry();
  // Unmapped, not moved, minimised or made clear.
  m_window->hide();
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
  // The machine has already cleared blnEntered.
  setCaption(m_window, m_machine.state().strHiddenCaption);
  platform::AppTitle::set(platform::applicationTitle());
  // Repaint rather than take the focus: coming back must not steal the keyboard from
  // whatever the user is typing into.
  m_window->update();
}

}  // namespace stealth
