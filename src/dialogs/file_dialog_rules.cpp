#include "dialogs/file_dialog_rules.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace dialogs {

namespace {

constexpr QChar kNul(u'\0');

// The deepest folder that holds every path; "/" at worst.
QString commonFolder(const QStringList& paths) {
  QStringList common = QFileInfo(paths.front()).absolutePath().split(u'/');
  for (const QString& path : paths) {
    const QStringList parts = QFileInfo(path).absolutePath().split(u'/');
    qsizetype same = 0;
    const qsizetype n = std::min(parts.size(), common.size());
    while (same < n && parts[same] == common[same]) {
      ++same;
    }
    common.resize(same);
  }
  const QString folder = common.join(u'/');
  return folder.isEmpty() ? QStringLiteral("/") : folder;
}

}  // namespace

FileDialogError fileDialogError(int number) {
  // Without an application object (core tests, fuzzers) the process image names us.
  const QString exe = QCoreApplication::instance() != nullptr
                          ? QCoreApplication::applicationFilePath()
                          : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  QString description;
  switch (number) {
    case kErrInvalidArgument:
      description = QCoreApplication::translate("FileDialog", "Invalid procedure call or argument");
      break;
    case kErrOverflow:
      description = QCoreApplication::translate("FileDialog", "Overflow");
      break;
    case kErrCancel:
      description = QCoreApplication::translate("FileDialog", "User selected cancel.");
      break;
    default:
      break;
  }
  return {number, QFileInfo(exe).completeBaseName() + QStringLiteral(".cFileDialog"), description};
}

QStringList nameFilters(const QString& filter) {
  // A ":" separates fields like "|": a description holding one is split there.
  QStringList fields = QString(filter).replace(u':', u'|').split(u'|');
  // Two separators in a row end the list, as they always have.
  const auto end =
      std::find_if(fields.begin() + 1, fields.end(), [](const QString& f) { return f.isEmpty(); });
  fields.erase(end, fields.end());

  QStringList result;
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    QStringList patterns;
    for (const QString& raw : fields[i + 1].split(u';', Qt::SkipEmptyParts)) {
      const QString pattern = raw.trimmed();
      if (!pattern.isEmpty()) {
        patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
      }
    }
    if (patterns.isEmpty()) {
      patterns.append(fields[i + 1].trimmed());
    }
    result.append(fields[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
  }
  return result;
}

QString multiSelectionText(const QStringList& paths) {
  if (paths.size() == 1) {
    return paths.front() + kNul + kNul;
  }
  const QString folder = commonFolder(paths);
  const qsizetype skip = folder == QLatin1String("/") ? 1 : folder.size() + 1;
  QString text = folder + kNul;
  for (const QString& path : paths) {
    text += QFileInfo(path).absoluteFilePath().mid(skip) + kNul;
  }
  return text + kNul;
}

std::optional<MultiFileName> splitMultiFileName(const QString& fileName) {
  const qsizetype end = fileName.indexOf(QString(2, kNul));
  if (end < 0) {
    return std::nullopt;
  }
  const QString selection = fileName.left(end);
  const qsizetype firstNul = selection.indexOf(kNul);
  if (firstNul < 0) {
    // One file: a full path. Only the selection is searched, so whatever follows the
    // double NUL never leaks into the name.
    const qsizetype slash = selection.lastIndexOf(u'/');
    return MultiFileName{selection.left(slash + 1), {selection.mid(slash + 1)}};
  }
  return MultiFileName{selection.left(firstNul), selection.mid(firstNul + 1).split(kNul)};
}

}  // namespace dialogs
