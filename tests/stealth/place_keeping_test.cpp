// A window AutoHide hides comes back exactly where the user left it, round after round,
// under the window manager the suite runs with (HUSHLEAF_TEST_WM: openbox, xfwm4, fluxbox,
// icewm, mutter). The pointer is moved by XTest, as a user's mouse moves it.
#include "stealth/auto_hide_controller.h"
#include "support/wait.h"
#include "support/x_probe.h"
#include "support/x_session.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <QAction>
#include <QWidget>

#include <cstdlib>
#include <memory>

using stealth::AutoHideController;
using testsupport::waitUntil;
namespace x = testsupport::x;

namespace {

const QPoint kZone(1150, 950);
const QPoint kAway(40, 40);

// Where the X server has the client area, as another program would read it.
QPoint clientOrigin(std::uint32_t window) {
  std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> reply(
      xcb_translate_coordinates_reply(
          x::connection(), xcb_translate_coordinates(x::connection(), window, x::root(), 0, 0),
          nullptr),
      &std::free);
  return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
}

TEST(PlaceKeeping, ADraggedWindowComesBackWhereItWasRoundAfterRound) {
  ASSERT_TRUE(testsupport::XSession::current()->startWindowManager());
  ASSERT_TRUE(x::windowManagerReady());
  x::moveMouse(kAway);
  QWidget window;
  auto* button = new QAction(QStringLiteral("ZodorAzev"), &window);
  button->setCheckable(true);
  AutoHideController adapter(&window, button);
  window.resize(400, 300);  // the window manager places it
  window.show();
  const auto id = static_cast<std::uint32_t>(window.winId());
  ASSERT_TRUE(
      waitUntil([&] { return x::viewable(id) && window.frameGeometry() != window.geometry(); }));

  // Dragged by its title bar to a place of the user's own.
  const QPoint placed = window.frameGeometry().topLeft();
  const auto moved = [&] { return window.frameGeometry().topLeft() != placed; };
  for (int attempt = 0; attempt < 3 && !moved(); ++attempt) {
    const QRect frame = window.frameGeometry();
    const QPoint title(frame.center().x(), (frame.top() + window.geometry().top()) / 2);
    x::drag(title, title + QPoint(60, 150));
    waitUntil(moved, 3000);
  }
  ASSERT_TRUE(moved());
  x::moveMouse(kAway);
  testsupport::pump(300);  // the manager's last move after the drag has come
  const QRect frame = window.frameGeometry();
  const QRect client = window.geometry();
  ASSERT_EQ(clientOrigin(id), client.topLeft());
  button->setChecked(true);

  for (int round = 1; round <= 5; ++round) {
    SCOPED_TRACE(round);
    x::moveMouse(frame.center());
    ASSERT_TRUE(waitUntil([&] { return adapter.state().entered; }));
    // Out as a hand goes: several motions, not one jump.
    for (int step = 1; step <= 5; ++step) {
      x::moveMouse(frame.center() + (kAway - frame.center()) * step / 5);
    }
    ASSERT_TRUE(waitUntil([&] { return !x::viewable(id); }));
    x::moveMouse(kZone);
    ASSERT_TRUE(waitUntil([&] { return x::viewable(id) && window.isVisible(); }));
    x::moveMouse(kAway);
    EXPECT_TRUE(waitUntil(
        [&] {
          return window.frameGeometry() == frame && window.geometry() == client &&
                 clientOrigin(id) == client.topLeft();
        },
        3000))
        << "frame " << window.frameGeometry().x() << "," << window.frameGeometry().y() << " client "
        << clientOrigin(id).x() << "," << clientOrigin(id).y() << ", was " << client.x() << ","
        << client.y();
  }
}

}  // namespace
