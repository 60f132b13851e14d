// Any filter text a caller could set, as the Qt name filters the dialog shows.
#include "dialogs/file_dialog_rules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QStringList filters = dialogs::nameFilters(text);
  // At most one filter for each description and pattern pair of the text.
  const qsizetype fields = text.count(u'|') + text.count(u':') + 1;
  if (filters.size() > fields / 2) {
    std::abort();
  }
  for (const QString& filter : filters) {
    // "Description (patterns)", no separator left.
    if (!filter.contains(QStringLiteral(" (")) || !filter.endsWith(u')') || filter.contains(u'|') ||
        filter.contains(u':')) {
      std::abort();
    }
  }
  // Two separators in a row end the list, whatever follows.
  if (dialogs::nameFilters(text + QStringLiteral("||*.x|y")) != filters) {
    std::abort();
  }
  return 0;
}
