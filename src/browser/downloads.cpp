#include "browser/downloads.h"

#include "browser/file_name.h"
#include "browser/webengine_browser.h"

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
  name = cleanFileName(name);
  return name.isEmpty() ? QStringLiteral("download") : name;
}

enum class Verdict { Ask, Refuse };

// The one place that decides whether a page's download may ask the user where to save it.
Verdict mayAsk(QWebEnginePage* page, QWidget* owner) {
  if (page == nullptr) {
    return Verdict::Ask;
  }
  PageDownloads& state = stateOf(page);
  // One dialog at a time: a page cannot pile them up while one is open.
  if (state.asking) {
    return Verdict::Refuse;
  }
  if (state.sinceGesture++ == 0 || state.several == PageDownloads::Several::Allowed) {
    return Verdict::Ask;
  }
  if (state.several == PageDownloads::Several::Refused) {
    return Verdict::Refuse;
  }
  const QPointer<QWebEnginePage> alive(page);
  state.asking = true;
  // Qt deletes a download request nobody answered once downloadRequested returns: like the
  // page's own dialogs, this question must be answered before the handler returns.
  QMessageBox box(QMessageBox::Question,
                  QCoreApplication::translate("browser::Downloads", "Downloads"),
                  QCoreApplication::translate("browser::Downloads",
                                              "This page wants to download several files"),
                  QMessageBox::NoButton, owner);
  box.setObjectName(QStringLiteral("SeveralDownloads"));
  box.setWindowModality(Qt::WindowModal);
  QPushButton* allow = box.addButton(QCoreApplication::translate("browser::Downloads", "Allow"),
                                     QMessageBox::AcceptRole);
  QPushButton* refuse = box.addButton(QCoreApplication::translate("browser::Downloads", "Refuse"),
                                      QMessageBox::RejectRole);
  allow->setObjectName(QStringLiteral("Allow"));
  refuse->setObjectName(QStringLiteral("Refuse"));
  box.setDefaultButton(refuse);
  box.setEscapeButton(refuse);
  const QPointer<QWidget> window(owner != nullptr ? owner->window() : nullptr);
  box.exec();
  // The user answered in this window: the keyboard goes back to it, whatever window (or
  // none) the window manager falls back to, so the page's next question need not wait.
  if (!window.isNull() && window->isVisible()) {
    window->activateWindow();
  }
  if (alive.isNull()) {
    return Verdict::Refuse;
  }
  PageDownloads& after = stateOf(page);
  after.asking = false;
  after.several = box.clickedButton() == allow ? PageDownloads::Several::Allowed
                                               : PageDownloads::Several::Refused;
  return after.several == PageDownloads::Several::Allowed ? Verdict::Ask : Verdict::Refuse;
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
        QWebEnginePage* page = download->page();
        if (auto* view = qobject_cast<QWebEngineView*>(QWebEngineView::forPage(page))) {
          owner = view->window();
        }
        const QPointer<QWebEngineDownloadRequest> alive(download);
        if (mayAsk(page, owner) == Verdict::Refuse || alive.isNull()) {
          if (!alive.isNull()) {
            download->cancel();
          }
          return;
        }
        // The dialog starts where the user keeps downloads, never where the page points.
        QString folder = chosenFolder();
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
          folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        }
        const QPointer<QWebEnginePage> pageAlive(page);
        if (page != nullptr) {
          stateOf(page).asking = true;
        }
        const QString path = QFileDialog::getSaveFileName(
            owner, QCoreApplication::translate("browser::Downloads", "Save File"),
            folder + QLatin1Char('/') + offeredName(*download));
        if (!pageAlive.isNull()) {
          stateOf(page).asking = false;
        }
        if (alive.isNull()) {
          return;
        }
        if (path.isEmpty()) {
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

}  // namespace browser
