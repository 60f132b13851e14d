#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

bool ShellExecute(const QString& path, int /*showCommand*/) {
  return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool openExternally(const QUrl& url) { return url.isValid() && QDesktopServices::openUrl(url); }

}  // namespace platform
