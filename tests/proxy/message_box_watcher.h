#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <vector>

namespace proxytest {

struct SeenMessage {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool modal = false;
  int buttons = 0;
};

// Closes every message box that opens while it lives, as a user pressing OK would,
// and remembers what each one said.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher() {
    m_timer.setInterval(20);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
  }

  [[nodiscard]] const std::vector<SeenMessage>& seen() const { return m_seen; }
  void clear() { m_seen.clear(); }

 private:
  void poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (box == nullptr || !box->isVisible() || box->property("seen").toBool()) {
        continue;
      }
      box->setProperty("seen", true);
      m_seen.push_back({box->text(), box->windowTitle(), box->icon(), box->isModal(),
                        static_cast<int>(box->buttons().size())});
      QAbstractButton* ok = box->button(QMessageBox::Ok);
      if (ok != nullptr) {
        ok->click();
      } else {
        box->reject();
      }
    }
  }

  QTimer m_timer;
  std::vector<SeenMessage> m_seen;
};

}  // namespace proxytest
