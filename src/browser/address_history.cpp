#include "browser/address_history.h"

#include <algorithm>
#include <functional>

namespace browser {

namespace {

bool lessFolded(const QString& a, const QString& b) { return QStringView(a).compare(b) < 0; }

}  // namespace

std::optional<BoxEdit> AddressBoxCore::change(const QString& text, int caret,
                                              const AddressHistory& history) const {
  // An emptied box stays empty: filling it with the newest entry would undo the user's clear.
  if (m_deleting || m_completing || text.isEmpty()) {
    return std::nullopt;
  }
  static const QString kHttp = QStringLiteral("http://");
  int start = caret;
  int found = history.findFirstWithPrefix(text);
  if (found == -1) {
    found = history.findFirstWithPrefix(kHttp + text);
    start = caret + static_cast<int>(kHttp.size());
  }
  if (found == -1) {
    return std::nullopt;
  }
  BoxEdit edit;
  edit.text = history.entries().at(found);
  const auto length = static_cast<int>(edit.text.size());
  // The box clips a selection that runs past the end of its text.
  edit.selStart = qBound(0, start, length);
  edit.selLength = length - edit.selStart;
  return edit;
}

int AddressHistory::findFirstWithPrefix(const QString& prefix) const {
  const QString folded = prefix.toCaseFolded();
  auto it =
      std::lower_bound(m_index.begin(), m_index.end(), folded,
                       [](const Key& k, const QString& p) { return lessFolded(k.folded, p); });
  // Entries that begin with the prefix form one run from here in sorted order.
  const auto end = std::partition_point(it, m_index.end(),
                                        [&](const Key& k) { return k.folded.startsWith(folded); });
  quint64 newest = 0;
  for (; it != end; ++it) {
    newest = std::max(newest, it->stamp);
  }
  return newest == 0 ? -1 : positionOfStamp(newest);
}

int AddressHistory::positionOfStamp(quint64 stamp) const {
  // Stamps fall strictly from the top of the list down.
  auto it = std::lower_bound(m_stamps.begin(), m_stamps.end(), stamp, std::greater<>());
  return it != m_stamps.end() && *it == stamp ? static_cast<int>(it - m_stamps.begin()) : -1;
}

int AddressHistory::indexOf(const QString& text) const {
  return static_cast<int>(m_entries.indexOf(text));
}

void AddressHistory::removeAt(int index) {
  if (index < 0 || index >= count()) {
    return;
  }
  const quint64 stamp = m_stamps.at(index);
  const QString folded = m_entries.at(index).toCaseFolded();
  auto it =
      std::lower_bound(m_index.begin(), m_index.end(), folded,
                       [](const Key& k, const QString& p) { return lessFolded(k.folded, p); });
  while (it != m_index.end() && it->stamp != stamp && it->folded == folded) {
    ++it;
  }
  if (it != m_index.end() && it->stamp == stamp) {
    m_index.erase(it);
  }
  m_entries.removeAt(index);
  m_stamps.removeAt(index);
}

void AddressHistory::prepend(const QString& text) {
  const quint64 stamp = m_nextStamp++;
  Key key{text.toCaseFolded(), stamp};
  auto it =
      std::upper_bound(m_index.begin(), m_index.end(), key.folded,
                       [](const QString& p, const Key& k) { return lessFolded(p, k.folded); });
  m_index.insert(it, std::move(key));
  m_entries.prepend(text);
  m_stamps.prepend(stamp);
}

}  // namespace browser
