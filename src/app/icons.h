#pragma once

#include <QIcon>

namespace app {

QIcon applicationIcon();
QIcon padlockIcon();
QIcon goIcon();
// Toolbar images 1..7 (Back, Forward, Stop, Refresh, Home, Proxy, "ZodorAzev").
QIcon toolbarImage(int index);

}  // namespace app
