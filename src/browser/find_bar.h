#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineView;

namespace browser {

class WebEngineBrowser;

// The find-on-page bar over the page. The Find command opens it; it searches as the user
// types and offers next, previous and the match count. Escape or its close button hides it.
class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(WebEngineBrowser& engine);

  void open();
  void findNext();
  void findPrevious();
  [[nodiscard]] QString matchText() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void search(bool backward);
  void place();

  QWebEngineView* m_view;
  QLineEdit* m_text;
  QLabel* m_matches;
};

}  // namespace browser
