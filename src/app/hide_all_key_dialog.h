#pragma once

#include <QDialog>

class QKeySequenceEdit;
class QLabel;

namespace app {

// Changes the hide-all key: the new combination is taken at OK, or the dialog says why it
// cannot be (another program holds it) and stays open.
class HideAllKeyDialog : public QDialog {
  Q_OBJECT

 public:
  explicit HideAllKeyDialog(QWidget* parent);

  void accept() override;

 private:
  QKeySequenceEdit* m_keys;
  QLabel* m_problem;
};

// Opens the dialog over `owner`, window-modal, without waiting for it.
void showHideAllKeyDialog(QWidget* owner);

}  // namespace app
