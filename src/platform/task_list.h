#pragma once

class QWidget;

namespace platform {

// The application's task-visible flag. With it off, every top-level window of the
// process carries _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER each time
// it is mapped (window managers drop _NET_WM_STATE on unmap, so once is not enough).
void setTaskVisible(bool visible);
bool taskVisible();

// Writes the skip hints onto one window now (merging with the state already there).
void applySkipTaskbar(const QWidget* window);

}  // namespace platform
