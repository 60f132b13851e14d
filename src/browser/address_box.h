#pragma once

#include "browser/address_history.h"

#include <QComboBox>

#include <functional>

namespace browser {

// The address box `m_addressBox`: an editable combo box whose list is the window's history,
// newest first. Typing completes from the history in place; Enter asks for the text to
// be loaded; every finished document moves the text to the top of the history.
class AddressBox : public QComboBox {
  Q_OBJECT

 public:
  explicit AddressBox(QWidget* parent = nullptr);

  // Which keys belong to the window: the box's own editing key of the same name gives way.
  void setWindowKeys(std::function<bool(QKeyCombination)> isWindowKey) {
    m_isWindowKey = std::move(isWindowKey);
  }

  [[nodiscard]] const AddressHistory& history() const { return m_history; }
  [[nodiscard]] bool isDeleting() const { return m_box.isDeleting(); }

  // Edit > Cut while the box has the focus: the selection to the clipboard, then removed
  // without being completed.
  void cut();
  // Focus with the whole text selected, for the keys that go to the address box.
  void focusAndSelectAll();

  // The engine finished a document or a frame: the history update.
  void pageLoaded();

 signals:
  // Enter in the box: load this text, passed on unchanged.
  void navigateRequested(const QString& text);
  // The first document of an empty box: the window's caption becomes the application title.
  void captionReset();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void completeText();
  void removeHistoryEntry(int index);
  void keepBoxText(const std::function<void()>& change);

  AddressBoxCore m_box;
  AddressHistory m_history;
  std::function<bool(QKeyCombination)> m_isWindowKey;
};

}  // namespace browser
