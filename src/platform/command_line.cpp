#include "platform/command_line.h"

#include <QProcess>
#include <QStandardPaths>

namespace platform {

QStringList internetOptionsTool() {
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

bool startCommandLine(const QString& commandLine) {
  QStringList parts = commandLine.trimmed() == QLatin1String(kInternetOptionsCommandLine)
                          ? internetOptionsTool()
                          : QProcess::splitCommand(commandLine);
  if (parts.isEmpty()) {
    return false;
  }
  const QString program = parts.takeFirst();
  return QProcess::startDetached(program, parts);
}

}  // namespace platform
