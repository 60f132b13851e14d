// The address box over random histories and keystrokes: the indexed history answers
// exactly as the plain prefix search does, keeps its entries unique, and a completion
// always names an entry and a selection inside it.
#include "browser/address_history.h"

#include <cstdint>
#include <cstdlib>

namespace {
// The plain search the index stands for: the first entry from the top with the prefix.
int plainSearch(const browser::AddressHistory& history, const QString& prefix) {
  const auto& entries = history.entries();
  for (int i = 0; i < entries.size(); ++i) {
    if (entries.at(i).startsWith(prefix, Qt::CaseInsensitive)) {
      return i;
    }
  }
  return -1;
}

QString word(const std::uint8_t*& p, const std::uint8_t* end) {
  static const char16_t kAlphabet[] = u"aAbB:/h.\u00e9\u00c9";
  QString w;
  std::size_t n = p < end ? (*p++ % 6) : 0;
  if (p < end && (*p & 0x80) != 0) {
    w = QStringLiteral("http://");
  }
  while (n-- > 0 && p < end) {
    w += QChar(kAlphabet[*p++ % 10]);
  }
  return w;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  browser::AddressHistory history;
  browser::AddressBoxCore box;
  const std::uint8_t* p = data;
  const std::uint8_t* end = data + size;
  while (p < end) {
    const std::uint8_t op = *p++;
    const QString text = word(p, end);
    switch (op % 4) {
      case 0: {  // a finished document with this text in the box
        for (int at = history.indexOf(text); at >= 0 && !text.isEmpty();
             at = history.indexOf(text)) {
          history.removeAt(at);
        }
        if (!text.isEmpty()) {
          history.prepend(text);
        }
        break;
      }
      case 1:
        box.keyPressed(op & 0x10 ? Qt::Key_Backspace : Qt::Key_A);
        break;
      case 2:
        if (history.count() > 0) {
          history.removeAt(op % history.count());
        }
        break;
      default: {
        if (history.findFirstWithPrefix(text) != plainSearch(history, text)) {
          std::abort();
        }
        const int caret = static_cast<int>(text.size());
        const auto edit = box.change(text, caret, history);
        if (edit && (history.indexOf(edit->text) < 0 || edit->selStart < 0 ||
                     edit->selStart + edit->selLength != edit->text.size())) {
          std::abort();
        }
        if (edit && box.isDeleting()) {
          std::abort();
        }
      }
    }
    QStringList entries = history.entries();
    if (entries.removeDuplicates() != 0) {
      std::abort();
    }
  }
  return 0;
}
