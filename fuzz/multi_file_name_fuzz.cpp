// Any file name a caller could hold, split as a multi-selection; any chosen paths, as the
// text a multi-selection hands back.
#include "dialogs/file_dialog_rules.h"

#include <QDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One byte per character, so NULs and separators are easy for the fuzzer to reach.
  const QString text =
      QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QChar nul(u'\0');
  const qsizetype end = text.indexOf(QString(2, nul));
  const std::optional<dialogs::MultiFileName> r = dialogs::splitMultiFileName(text);
  if (r.has_value() != (end >= 0)) {
    std::abort();
  }
  if (r) {
    const QString selection = text.left(end);
    if (r->files.isEmpty() || r->folder.contains(nul)) {
      std::abort();
    }
    for (const QString& name : r->files) {
      if (name.contains(nul)) {
        std::abort();
      }
    }
    // One file: folder and name give back the selection exactly.
    if (!selection.contains(nul) && r->folder + r->files.front() != selection) {
      std::abort();
    }
  }

  // The same bytes as absolute paths of files, one a line: their text splits back into a
  // folder and names that join to each path again.
  QStringList paths;
  for (const QString& line : text.split(u'\n')) {
    const QString path = QDir::cleanPath(QStringLiteral("/") + QString(line).remove(nul));
    if (path != QLatin1String("/")) {
      paths.append(path);
    }
  }
  if (paths.isEmpty()) {
    return 0;
  }
  const std::optional<dialogs::MultiFileName> back =
      dialogs::splitMultiFileName(dialogs::multiSelectionText(paths));
  if (!back) {
    std::abort();
  }
  if (paths.size() == 1) {
    if (back->folder + back->files.front() != paths.front()) {
      std::abort();
    }
  } else {
    const QString folder = back->folder == QLatin1String("/") ? QString() : back->folder;
    if (back->files.size() != paths.size()) {
      std::abort();
    }
    for (qsizetype i = 0; i < paths.size(); ++i) {
      if (folder + u'/' + back->files[i] != paths[i]) {
        std::abort();
      }
    }
  }
  return 0;
}
