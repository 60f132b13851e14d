#pragma once

#include <QtCore/qnamespace.h>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace browser {

// The address box's history list, newest first, no entry repeated (exact,
// case-sensitive). Alongside the list it keeps a case-folded sorted index so the
// completion's prefix search stays well under a millisecond at 100 000 entries.
class AddressHistory {
 public:
  [[nodiscard]] const QStringList& entries() const { return m_entries; }
  [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }

  // The newest entry that begins with prefix, ignoring case (the combo box's prefix search
  // over the whole list from entry 0), or -1.
  [[nodiscard]] int findFirstWithPrefix(const QString& prefix) const;

  // Index of the exact (case-sensitive) entry, or -1.
  [[nodiscard]] int indexOf(const QString& text) const;
  void removeAt(int index);
  void prepend(const QString& text);

 private:
  struct Key {
    QString folded;
    quint64 stamp;  // insertion order: the newest entry has the largest stamp
  };
  [[nodiscard]] int positionOfStamp(quint64 stamp) const;

  QStringList m_entries;
  QList<quint64> m_stamps;   // parallel to m_entries
  std::vector<Key> m_index;  // sorted by folded text
  quint64 m_nextStamp = 1;
};

// What the completion does to the box: its new text, then the selection.
struct BoxEdit {
  QString text;
  int selStart = 0;
  int selLength = 0;
};

// Completion and history rules of the address box, without the box: the adapter
// feeds it the box's text, caret and list, and applies what comes back.
class AddressBoxCore {
 public:
  // A key went down in the box: Backspace and Delete delete, every other key types.
  void keyPressed(int qtKey) { m_deleting = qtKey == Qt::Key_Delete || qtKey == Qt::Key_Backspace; }
  // Edit > Cut on the box suppresses the completion of the change it makes.
  void cut() { m_deleting = true; }

  [[nodiscard]] bool isDeleting() const { return m_deleting; }
  [[nodiscard]] bool isCompleting() const { return m_completing; }

  // The box's text changed. Returns the edit to apply, or nothing. While the edit is
  // being applied the adapter brackets it with beginCompleting/endCompleting, so the
  // change that edit causes is not completed again.
  [[nodiscard]] std::optional<BoxEdit> change(const QString& text, int caret,
                                              const AddressHistory& history) const;
  void beginCompleting() { m_completing = true; }
  void endCompleting() { m_completing = false; }

  // What an empty box is set to when a document finishes.
  static constexpr const char* kEmptyBoxText = "http://www.";
  static constexpr int kEmptyBoxCaret = 11;

 private:
  bool m_deleting = false;
  bool m_completing = false;
};

}  // namespace browser
