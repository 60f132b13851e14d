#include "browser/certificate_prompt.h"

#include "platform/app_title.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWebEngineCertificateError>

#include <memory>

namespace browser {

namespace {
const QString kBoxName = QStringLiteral("CertificateWarning");
}  // namespace

QString certificateWarningText(const QString& host, const QString& problem) {
  return QCoreApplication::translate(
             "CertificatePrompt",
             "The identity of %1 cannot be verified:\n%2\n\n"
             "Someone may be pretending to be this site to read what you send it. "
             "Continue only if you trust this connection; the exception lasts until "
             "the browser is closed.")
      .arg(host, problem);
}

void askCertificateException(QWidget* parent, const QWebEngineCertificateError& error) {
  // One question at a time per window: a page full of frames from failing sites must
  // not bury the user in boxes. The others are refused.
  if (parent != nullptr) {
    for (const QMessageBox* open : parent->findChildren<QMessageBox*>(kBoxName)) {
      if (open->isVisible()) {
        QWebEngineCertificateError(error).rejectCertificate();
        return;
      }
    }
  }
  // The application title as it is now: empty while a window is hidden.
  const QString title = platform::AppTitle::get();
  auto* box = new QMessageBox(QMessageBox::Warning, title,
                              certificateWarningText(error.url().host(), error.description()),
                              QMessageBox::NoButton, parent);
  box->setObjectName(kBoxName);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  QPushButton* back = box->addButton(QCoreApplication::translate("CertificatePrompt", "Go &Back"),
                                     QMessageBox::RejectRole);
  QPushButton* proceed = box->addButton(
      QCoreApplication::translate("CertificatePrompt", "&Continue"), QMessageBox::AcceptRole);
  proceed->setObjectName(QStringLiteral("Continue"));
  back->setObjectName(QStringLiteral("GoBack"));
  box->setDefaultButton(back);
  box->setEscapeButton(back);

  // Answered exactly once; a box that goes away unanswered (its window closed) rejects.
  struct Pending {
    QWebEngineCertificateError error;
    bool answered = false;
  };
  auto pending = std::make_shared<Pending>(Pending{error});
  QObject::connect(box, &QMessageBox::finished, box, [box, proceed, pending] {
    pending->answered = true;
    if (box->clickedButton() == proceed) {
      pending->error.acceptCertificate();
    } else {
      pending->error.rejectCertificate();
    }
  });
  QObject::connect(box, &QObject::destroyed, [pending] {
    if (!pending->answered) {
      pending->answered = true;
      pending->error.rejectCertificate();
    }
  });
  if (title.isEmpty()) {
    box->winId();  // the native window, so that its caption can read empty before the map
    platform::setCaption(box, title);
  }
  box->open();
}

}  // namespace browser
