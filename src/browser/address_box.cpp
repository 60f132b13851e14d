#include "browser/address_box.h"

#include "platform/app_title.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace browser {

AddressBox::AddressBox(QWidget* parent) : QComboBox(parent) {
  setObjectName(QStringLiteral("txtURL"));
  setAccessibleName(tr("Address"));
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  setMaxVisibleItems(20);
  lineEdit()->setAccessibleName(tr("Address"));
  // Typing (and the box's own editing commands) completes; a pick from the list or a step
  // through it with Up and Down sets the text without an edit and keeps the chosen entry.
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { completeText(); });
}

bool AddressBox::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && m_isWindowKey &&
      m_isWindowKey(static_cast<QKeyEvent*>(event)->keyCombination())) {
    // The window's key, not the box's own editing key of the same name.
    event->ignore();
    return true;
  }
  return QComboBox::event(event);
}

void AddressBox::keyPressEvent(QKeyEvent* event) {
  m_box.keyPressed(event->key());
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit navigateRequested(currentText());
  }
  QComboBox::keyPressEvent(event);
}

void AddressBox::completeText() {
  QLineEdit* edit = lineEdit();
  const auto result = m_box.change(edit->text(), edit->cursorPosition(), m_history);
  if (!result) {
    return;
  }
  m_box.beginCompleting();
  edit->setText(result->text);
  edit->setSelection(result->selStart, result->selLength);
  m_box.endCompleting();
}

void AddressBox::cut() {
  QLineEdit* edit = lineEdit();
  if (!edit->selectedText().isEmpty()) {
    QGuiApplication::clipboard()->setText(edit->selectedText());
  }
  m_box.cut();
  edit->insert(QString());
}

void AddressBox::focusAndSelectAll() {
  setFocus(Qt::ShortcutFocusReason);
  lineEdit()->selectAll();
}

void AddressBox::pageLoaded() {
  QLineEdit* edit = lineEdit();
  if (edit->text().isEmpty()) {
    edit->setText(QString::fromLatin1(AddressBoxCore::kEmptyBoxText));
    emit captionReset();
    setFocus(Qt::OtherFocusReason);
    edit->setCursorPosition(AddressBoxCore::kEmptyBoxCaret);
    edit->deselect();
    // A program change of the text is completed like typing.
    completeText();
  }
  const QString text = edit->text();
  if (text.isEmpty()) {
    return;
  }
  // The index finds the entry at once; no walk over the list, no events run meanwhile.
  for (int at = m_history.indexOf(text); at >= 0; at = m_history.indexOf(text)) {
    removeHistoryEntry(at);
  }
  m_history.prepend(text);
  keepBoxText([&] { insertItem(0, text); });
  edit->setCursorPosition(static_cast<int>(text.size()));
}

void AddressBox::removeHistoryEntry(int index) {
  m_history.removeAt(index);
  keepBoxText([&] { removeItem(index); });
}

void AddressBox::keepBoxText(const std::function<void()>& change) {
  // The combo box moves its current item, and with it the edit text, when its list
  // changes; the list is ours alone, the text the user's.
  QLineEdit* edit = lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  const int selStart = edit->selectionStart();
  const int selLength = edit->selectionLength();
  const QSignalBlocker blockCombo(this);
  const QSignalBlocker blockEdit(edit);
  change();
  setCurrentIndex(-1);
  if (edit->text() != text) {
    edit->setText(text);
  }
  if (selStart >= 0 && selLength > 0) {
    edit->setSelection(selStart, selLength);
  } else {
    edit->setCursorPosition(cursor);
  }
}

}  // namespace browser
