#include "platform/file_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace platform {

namespace {

constexpr QChar kNul(u'\0');

QString stripNull(const QString& text) {
  const qsizetype at = text.indexOf(kNul);
  return at < 0 ? text : text.left(at);
}

// The deepest folder that holds every path; "/" at worst.
QString commonDirectory(const QStringList& paths) {
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
  const QString dir = common.join(u'/');
  return dir.isEmpty() ? QStringLiteral("/") : dir;
}

bool run(OpenFileName& ofn, bool save) {
  if (ofn.nMaxFile <= 0) {
    return false;
  }
  const bool multi = !save && (ofn.Flags & kOfnAllowMultiSelect) != 0;

  QFileDialog dialog(ofn.hwndOwner);
  // Qt's own widget: the same dialog on every desktop, under Xvfb and in tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The descriptions are shown as given, like the filter list they come from.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save    ? QFileDialog::AnyFile
                     : multi ? QFileDialog::ExistingFiles
                             : QFileDialog::ExistingFile);
  if ((ofn.Flags & kOfnReadOnly) != 0) {
    dialog.setOption(QFileDialog::ReadOnly);
  }
  if (save && (ofn.Flags & kOfnOverwritePrompt) == 0) {
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  if (ofn.lpstrTitle && !stripNull(*ofn.lpstrTitle).isEmpty()) {
    dialog.setWindowTitle(stripNull(*ofn.lpstrTitle));
  }

  const QStringList filters = nameFiltersFromRecord(ofn.lpstrFilter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index =
        ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= filters.size() ? ofn.nFilterIndex : 1;
    dialog.selectNameFilter(filters.at(index - 1));
  }
  if (ofn.lpstrDefExt) {
    QString ext = stripNull(*ofn.lpstrDefExt);
    while (ext.startsWith(u'.')) {
      ext.remove(0, 1);
    }
    if (!ext.isEmpty()) {
      dialog.setDefaultSuffix(ext);
    }
  }

  const QString initialDir = ofn.lpstrInitialDir ? stripNull(*ofn.lpstrInitialDir) : QString();
  const QDir base(initialDir.isEmpty() ? QDir::currentPath() : initialDir);
  const QString initialName = stripNull(ofn.lpstrFile.left(ofn.nMaxFile));
  if (!initialName.isEmpty() && QFileInfo(base, initialName).isDir()) {
    // A folder (the first entry of an earlier multi-selection) is where to start.
    dialog.setDirectory(QFileInfo(base, initialName).absoluteFilePath());
  } else if (initialName.contains(u'/')) {
    // A path in the file buffer names the folder to start in, as it always has.
    const QFileInfo info(base, initialName);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  } else {
    dialog.setDirectory(base);
    if (!initialName.isEmpty()) {
      dialog.selectFile(initialName);
    }
  }

  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) {
    return false;
  }
  const std::optional<QString> buffer = selectionBuffer(chosen, multi, ofn.nMaxFile);
  if (!buffer) {
    return false;  // too small for the choice: a failure, never a cut-off path
  }
  ofn.lpstrFile = *buffer;
  if (chosen.size() == 1 && ofn.nMaxFileTitle > 0) {
    const QString title = QFileInfo(chosen.front()).fileName();
    if (title.size() < ofn.nMaxFileTitle) {
      ofn.lpstrFileTitle = title + QString(ofn.nMaxFileTitle - title.size(), kNul);
    }
  }
  if (!filters.isEmpty()) {
    const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    qsizetype index = combo != nullptr ? combo->currentIndex() : -1;
    if (index < 0 || index >= filters.size()) {
      index = filters.indexOf(dialog.selectedNameFilter());
    }
    if (index >= 0) {
      ofn.nFilterIndex = static_cast<std::int32_t>(index + 1);
    }
  }
  return true;
}

}  // namespace

QStringList nameFiltersFromRecord(const std::optional<QString>& lpstrFilter) {
  QStringList result;
  if (!lpstrFilter) {
    return result;
  }
  QString text = *lpstrFilter;
  const qsizetype end = text.indexOf(QString(2, kNul));
  if (end >= 0) {
    text.truncate(end);
  }
  if (text.isEmpty()) {
    return result;
  }
  const QStringList fields = text.split(kNul);
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

std::optional<QString> selectionBuffer(const QStringList& paths, bool multiSelect, int capacity) {
  if (paths.isEmpty() || capacity <= 0) {
    return std::nullopt;
  }
  QString text;
  if (paths.size() == 1 || !multiSelect) {
    // A multi-selection buffer always ends in a double NUL, also for one file.
    text = paths.front() + QString(multiSelect ? 2 : 1, kNul);
  } else {
    const QString dir = commonDirectory(paths);
    const qsizetype skip = dir == QLatin1String("/") ? 1 : dir.size() + 1;
    text = dir + kNul;
    for (const QString& path : paths) {
      text += QFileInfo(path).absoluteFilePath().mid(skip) + kNul;
    }
    text += kNul;
  }
  if (text.size() > capacity) {
    return std::nullopt;
  }
  return text + QString(capacity - text.size(), kNul);
}

bool GetOpenFileName(OpenFileName& ofn) { return run(ofn, false); }

bool GetSaveFileName(OpenFileName& ofn) { return run(ofn, true); }

}  // namespace platform
