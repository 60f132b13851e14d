#include "platform/desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

bool openExternally(const QUrl& url) {
  return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

QStringList networkSettingsTool() {
  // GNOME, KDE Plasma 5, Xfce / others with NetworkManager's editor, in that order.
  static const QList<QStringList> candidates = {
      {QStringLiteral("gnome-control-center"), QStringLiteral("network")},
      {QStringLiteral("systemsettings"), QStringLiteral("kcm_proxy")},
      {QStringLiteral("systemsettings5"), QStringLiteral("proxy")},
      {QStringLiteral("nm-connection-editor")},
  };
  for (const QStringList& candidate : candidates) {
    const QString path = QStandardPaths::findExecutable(candidate.first());
    if (!path.isEmpty()) {
      QStringList tool = candidate;
      tool[0] = path;
      return tool;
    }
  }
  return {};
}

bool openNetworkSettings() {
  QStringList tool = networkSettingsTool();
  if (tool.isEmpty()) {
    return false;
  }
  const QString program = tool.takeFirst();
  return QProcess::startDetached(program, tool);
}

}  // namespace platform
