#include "dialogs/about_layout.h"

#include <QCoreApplication>

namespace dialogs {

QPoint centredPosition(QSize screen, QSize box) {
  // C++ integer division truncates toward zero, as the rule asks.
  return {(screen.width() - box.width()) / 2, (screen.height() - box.height()) / 2};
}

QString versionText(int major, int minor) {
  return QCoreApplication::translate("AboutDialog", "Version %1.%2").arg(major).arg(minor);
}

}  // namespace dialogs
