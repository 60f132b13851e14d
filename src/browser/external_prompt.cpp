#include "browser/external_prompt.h"

#include "platform/app_title.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace browser {

namespace {
// Long enough for any address a person reads; a page's megabyte of mailto: body is not.
constexpr qsizetype kShownAddressLength = 300;
}  // namespace

QString externalQuestionText(const QUrl& url) {
  // Encoded: no control or direction characters can disguise what goes to the program.
  QString address = url.toString(QUrl::FullyEncoded | QUrl::RemovePassword);
  if (address.size() > kShownAddressLength) {
    address = address.left(kShownAddressLength) + QStringLiteral("...");
  }
  return QCoreApplication::translate("browser",
                                     "This page wants to open a \"%1:\" address in another "
                                     "program:\n\n%2\n\nOpen it only if you expected this.")
      .arg(url.scheme(), address);
}

void askOpenExternally(QWidget* parent, const QUrl& url, std::function<void()> open) {
  const QString name = QString::fromLatin1(kExternalQuestionName);
  if (parent != nullptr) {
    for (const QMessageBox* shown : parent->findChildren<QMessageBox*>(name)) {
      if (shown->isVisible()) {
        return;
      }
    }
  }
  auto* box = new QMessageBox(QMessageBox::Question, platform::applicationTitle(),
                              externalQuestionText(url), QMessageBox::NoButton, parent);
  box->setObjectName(name);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  QPushButton* accept =
      box->addButton(QCoreApplication::translate("browser", "&Open"), QMessageBox::AcceptRole);
  accept->setObjectName(QStringLiteral("Open"));
  QPushButton* cancel = box->addButton(QMessageBox::Cancel);
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  QObject::connect(box, &QMessageBox::finished, box, [box, accept, open = std::move(open)] {
    if (box->clickedButton() == accept) {
      open();
    }
  });
  box->open();
}

}  // namespace browser
