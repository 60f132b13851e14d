#include "app/hide_all_key_dialog.h"

#include "app/hide_all.h"

#include <QDialogButtonBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

HideAllKeyDialog::HideAllKeyDialog(QWidget* parent)
    : QDialog(parent), m_keys(new QKeySequenceEdit(this)), m_problem(new QLabel(this)) {
  setObjectName(QStringLiteral("HideAllKeyDialog"));
  setWindowTitle(tr("Hide-All Key"));
  auto* layout = new QVBoxLayout(this);
  auto* explanation = new QLabel(
      tr("This key hides every browser window, from any program, and brings them all back "
         "when pressed again. Press the new combination:"),
      this);
  explanation->setWordWrap(true);
  layout->addWidget(explanation);
  m_keys->setObjectName(QStringLiteral("Keys"));
  m_keys->setAccessibleName(tr("Hide-all key"));
  m_keys->setKeySequence(HideAll::instance().keys().isEmpty() ? HideAll::storedKeys()
                                                              : HideAll::instance().keys());
  // One combination, not a sequence of them: the edit ends at the first.
  connect(m_keys, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& keys) {
    if (keys.count() > 1) {
      m_keys->setKeySequence(QKeySequence(keys[0]));
    }
  });
  connect(m_keys, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& keys) {
    if (!keys.isEmpty()) {
      m_keys->clearFocus();  // taken: the next key press is not added to it
    }
  });
  layout->addWidget(m_keys);
  m_problem->setObjectName(QStringLiteral("Problem"));
  m_problem->setWordWrap(true);
  m_problem->setText(HideAll::instance().problem());
  layout->addWidget(m_problem);
  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &HideAllKeyDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &HideAllKeyDialog::reject);
  layout->addWidget(buttons);
}

void HideAllKeyDialog::accept() {
  if (HideAll::instance().setKeys(m_keys->keySequence())) {
    QDialog::accept();
    return;
  }
  m_problem->setText(HideAll::instance().problem());
}

void showHideAllKeyDialog(QWidget* owner) {
  auto* dialog = new HideAllKeyDialog(owner);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->open();
}

}  // namespace app
