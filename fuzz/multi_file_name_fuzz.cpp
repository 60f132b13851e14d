// Any buffer a dialog could hand back, split as a multi-selection.
#include "dialogs/open_save_dialog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One byte per character, so NULs and separators are easy for the fuzzer to reach.
  const QString buffer =
      QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype end = buffer.indexOf(QString(2, QChar(u'\0')));
  try {
    const dialogs::MultiFileName r = dialogs::ParseMultiFileName(buffer, QStringLiteral("fuzz"));
    const QString selection = buffer.left(end);
    if (end < 0 || r.fileCount != r.files.size() || r.fileCount < 1 ||
        r.folder.contains(QChar(u'\0'))) {
      std::abort();
    }
    for (const QString& name : r.files) {
      if (name.contains(QChar(u'\0'))) {
        std::abort();
      }
    }
    // One file: folder and name give back the selection exactly.
    if (!selection.contains(QChar(u'\0')) && r.folder + r.files.front() != selection) {
      std::abort();
    }
  } catch (const dialogs::FileDialogError& e) {
    if (end >= 0 || e.number() != dialogs::kErrInvalidArgument) {
      std::abort();
    }
  }

  // The same buffer coming back from a multi-selection dialog through the class.
  dialogs::OpenSaveDialog fd(dialogs::FileDialogPlatform{
      [&](dialogs::OpenFileName& ofn) {
        if (buffer.size() > ofn.nMaxFile) {
          return false;
        }
        ofn.lpstrFile = buffer + QString(ofn.nMaxFile - buffer.size(), QChar(u'\0'));
        return true;
      },
      {}});
  fd.setFlags(platform::kOfnAllowMultiSelect);
  fd.ShowOpen();
  QString dir;
  QStringList files;
  std::int32_t count = 0;
  try {
    fd.ParseMultiFileName(dir, files, count);
  } catch (const dialogs::FileDialogError&) {
  }
  return 0;
}
