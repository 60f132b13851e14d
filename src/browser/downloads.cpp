#include "browser/downloads.h"

#include "browser/webengine_browser.h"
#include "favorites/favorites_menu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <functional>
#include <memory>

namespace browser {

namespace {

// The folder the user last saved a download to in this run; empty: the Downloads folder.
QString& chosenFolder() {
  static QString folder;
  return folder;
}

// What one page's downloads may do: every download after the first since the user's last
// click or key in the page needs the user's leave.
struct PageDownloads {
  int sinceGesture = 0;
  enum class Several { Unasked, Allowed, Refused } several = Several::Unasked;
  bool asking = false;  // a dialog for this page is open
};

QHash<const QWebEnginePage*, PageDownloads>& pages() {
  static QHash<const QWebEnginePage*, PageDownloads> state;
  return state;
}

PageDownloads& stateOf(QWebEnginePage* page) {
  if (!pages().contains(page)) {
    QObject::connect(page, &QObject::destroyed, qApp, [page] { pages().remove(page); });
  }
  return pages()[page];
}

// A press of a mouse button or a key in a page's view is the user's own gesture there.
class GestureWatch : public QObject {
 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::KeyPress) {
      return false;
    }
    // The widget the hand is in, found without calling on the receiver: an application
    // filter also sees events sent to objects that are being taken apart.
    QWidget* target =
        type == QEvent::KeyPress
            ? QApplication::focusWidget()
            : QApplication::widgetAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    if (target != nullptr) {
      for (QObject* o = target; o != nullptr; o = o->parent()) {
        if (auto* view = qobject_cast<QWebEngineView*>(o)) {
          if (view->page() != nullptr && pages().contains(view->page())) {
            pages()[view->page()].sinceGesture = 0;
          }
          break;
        }
      }
    }
    return false;
  }
};

// The base name the page suggested, never a path: "../../.config/autostart/x.desktop" is
// offered as "x.desktop".
QString offeredName(const QWebEngineDownloadRequest& download) {
  QString name = download.downloadFileName();
  name =
      name.mid(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
  name = favorites::cleanFileName(name);
  return name.isEmpty() ? QStringLiteral("download") : name;
}

// Shows a question about a download without waiting. A dialog closed with its window before
// it was answered refuses the download; a download gone meanwhile takes the answer with it.
void openFor(QDialog* dialog, QWebEngineDownloadRequest* download, std::function<void(int)> done) {
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto answered = std::make_shared<bool>(false);
  QObject::connect(dialog, &QDialog::finished, download,
                   [answered, done = std::move(done)](int result) {
                     *answered = true;
                     done(result);
                   });
  QObject::connect(dialog, &QObject::destroyed, download, [answered, download] {
    if (!*answered) {
      download->cancel();
    }
  });
  dialog->open();
}

// Once the page may ask: where to save, starting where the user keeps downloads, never
// where the page points.
void askWhere(QWebEngineDownloadRequest* download, QWidget* owner) {
  QString folder = chosenFolder();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  }
  const QPointer<QWebEnginePage> page(download->page());
  if (!page.isNull()) {
    stateOf(page).asking = true;
  }
  auto* dialog = new QFileDialog(owner, QObject::tr("Save File"), folder);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->selectFile(folder + QLatin1Char('/') + offeredName(*download));
  openFor(dialog, download, [dialog, download, page](int result) {
    if (!page.isNull()) {
      stateOf(page).asking = false;
    }
    const QString path = dialog->selectedFiles().value(0);
    if (result != QDialog::Accepted || path.isEmpty()) {
      download->cancel();
      return;
    }
    const QFileInfo target(path);
    chosenFolder() = target.absolutePath();
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
  });
}

// The one place that decides whether a page's download may ask the user where to save it.
void mayAsk(QWebEngineDownloadRequest* download, QWidget* owner) {
  QWebEnginePage* page = download->page();
  if (page == nullptr) {
    return askWhere(download, owner);
  }
  PageDownloads& state = stateOf(page);
  // One dialog at a time: a page cannot pile them up while one is open.
  if (state.asking) {
    return download->cancel();
  }
  if (state.sinceGesture++ == 0 || state.several == PageDownloads::Several::Allowed) {
    return askWhere(download, owner);
  }
  if (state.several == PageDownloads::Several::Refused) {
    return download->cancel();
  }
  state.asking = true;
  auto* box = new QMessageBox(QMessageBox::Question, QObject::tr("Downloads"),
                              QObject::tr("This page wants to download several files"),
                              QMessageBox::NoButton, owner);
  box->setObjectName(QStringLiteral("SeveralDownloads"));
  QPushButton* allow = box->addButton(QObject::tr("Allow"), QMessageBox::AcceptRole);
  QPushButton* refuse = box->addButton(QObject::tr("Refuse"), QMessageBox::RejectRole);
  allow->setObjectName(QStringLiteral("Allow"));
  refuse->setObjectName(QStringLiteral("Refuse"));
  box->setDefaultButton(refuse);
  box->setEscapeButton(refuse);
  const QPointer<QWebEnginePage> alive(page);
  openFor(box, download, [box, allow, alive, download, owner](int) {
    if (alive.isNull()) {
      return download->cancel();
    }
    PageDownloads& after = stateOf(alive);
    after.asking = false;
    after.several = box->clickedButton() == allow ? PageDownloads::Several::Allowed
                                                  : PageDownloads::Several::Refused;
    if (after.several == PageDownloads::Several::Refused) {
      return download->cancel();
    }
    askWhere(download, owner);
  });
}

}  // namespace

void handleDownloads(QWebEngineProfile* profile) {
  static GestureWatch* watch = nullptr;
  if (watch == nullptr) {
    watch = new GestureWatch;
    watch->setParent(qApp);
    qApp->installEventFilter(watch);
  }
  QObject::connect(
      profile, &QWebEngineProfile::downloadRequested, profile,
      [](QWebEngineDownloadRequest* download) {
        if (download->isSavePageDownload() ||
            download->state() != QWebEngineDownloadRequest::DownloadRequested) {
          return;
        }
        // A hidden window asks nothing and saves nothing; it says so once it is back.
        if (auto* engine = WebEngineBrowser::forPage(download->page());
            engine != nullptr && engine->isPageHidden()) {
          download->cancel();
          engine->tellOnReturn(
              QCoreApplication::translate("browser::Downloads", "Download refused while hidden"));
          return;
        }
        QWidget* owner = nullptr;
        if (auto* view = qobject_cast<QWebEngineView*>(QWebEngineView::forPage(download->page()))) {
          owner = view->window();
        }
        // Answered once the user has: the engine holds the download until accept or cancel.
        mayAsk(download, owner);
      });
}

}  // namespace browser
