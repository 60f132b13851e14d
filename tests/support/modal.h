#pragma once
// The one driver for modal windows in the suites: dialogs, message boxes, file dialogs.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

namespace testsupport {

// What a message box said when it showed.
struct SeenMessage {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// While it lives, hands every modal window that shows to `handle`, once each, which must
// close it (a dialog nobody closes would hang the test). It polls from a timer, so it also
// runs inside the nested loops modal windows start. Without a handler, message boxes are
// answered with OK (or closed) and anything else is rejected.
class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<void(QWidget*)> handle = {}) : m_handle(std::move(handle)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start(20);
  }

  // How many modal windows were handed over, and what the message boxes among them said.
  [[nodiscard]] int seen() const { return m_seen; }
  [[nodiscard]] const std::vector<SeenMessage>& messages() const { return m_messages; }

  // The default answer: OK on a message box, reject or close on anything else.
  static void dismiss(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (box != nullptr && box->button(QMessageBox::Ok) != nullptr) {
      box->button(QMessageBox::Ok)->click();
    } else if (dialog != nullptr) {
      dialog->reject();
    } else {
      modal->close();
    }
  }

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal == m_last) {
      m_last = modal != nullptr && modal->isVisible() ? modal : nullptr;
      return;
    }
    m_last = modal;
    ++m_seen;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      m_messages.push_back({box->text(), box->windowTitle(), box->icon()});
    }
    m_handle ? m_handle(modal) : dismiss(modal);
  }

  std::function<void(QWidget*)> m_handle;
  QTimer m_timer;
  QPointer<QWidget> m_last;
  int m_seen = 0;
  std::vector<SeenMessage> m_messages;
};

}  // namespace testsupport
