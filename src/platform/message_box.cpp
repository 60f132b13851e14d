#include "platform/message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

int MsgBox(const QString& prompt, int style, const QString& title, QWidget* owner) {
  QMessageBox box(owner);
  box.setObjectName(QStringLiteral("MsgBox"));
  box.setWindowTitle(title);
  box.setText(prompt);
  box.setWindowModality(Qt::ApplicationModal);
  switch (style & 0x70) {
    case vbCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case vbQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case vbExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case vbInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (style & 0x0f) {
    case vbOKCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case vbYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return vbCancel;
    case QMessageBox::Yes:
      return vbYes;
    case QMessageBox::No:
      return vbNo;
    default:
      return vbOK;
  }
}

}  // namespace platform
