// Any filter text a caller could set.
#include "dialogs/open_save_dialog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString converted = dialogs::ConvertFilter(text);
  if (converted.size() != text.size() + 2 || converted.contains(u'|') || converted.contains(u':') ||
      !converted.endsWith(QString(2, QChar(u'\0')))) {
    std::abort();
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    const QChar expected = (c == u'|' || c == u':') ? QChar(u'\0') : c;
    if (converted.at(i) != expected) {
      std::abort();
    }
  }

  dialogs::OpenSaveDialog fd(dialogs::FileDialogPlatform{});
  fd.setFilter(QStringLiteral("a|*.a"));
  try {
    fd.setFilter(text);
    if (text.size() > dialogs::kMaxFilterLength || fd.record().lpstrFilter != converted) {
      std::abort();
    }
  } catch (const dialogs::FileDialogError& e) {
    if (text.size() <= dialogs::kMaxFilterLength || e.number() != dialogs::kErrOverflow ||
        fd.Filter() != text || fd.record().lpstrFilter != dialogs::ConvertFilter("a|*.a")) {
      std::abort();
    }
  }
  return 0;
}
