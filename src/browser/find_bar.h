#pragma once

#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QWebEngineView;

namespace browser {

class WebEngineBrowser;

// The engine's own find-on-page bar. It opens when Ctrl+F reaches the page (the Find
// command focuses the page and sends it that key), searches as the user types, and
// offers next, previous and the match count. Escape or its close button hides it.
class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(WebEngineBrowser& engine);

  void open();
  void findNext();
  void findPrevious();
  [[nodiscard]] QString matchText() const;
  // A key event (KeyPress or ShortcutOverride) in this bar's window: Ctrl+F while the page
  // has the focus opens the bar. Returns whether it took the key.
  bool pageKey(QEvent* event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static bool isFindKey(const QKeyEvent& key);
  [[nodiscard]] bool pageHasFocus() const;
  void search(bool backward);
  void place();

  QWebEngineView* m_view;
  QLineEdit* m_text;
  QLabel* m_matches;
};

}  // namespace browser
