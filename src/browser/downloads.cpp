#include "browser/downloads.h"

#include "browser/webengine_browser.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace browser {

void handleDownloads(QWebEngineProfile* profile) {
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
        QString folder = download->downloadDirectory();
        if (folder.isEmpty()) {
          folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        }
        const QString path =
            QFileDialog::getSaveFileName(owner, QStringLiteral("Save File"),
                                         folder + QLatin1Char('/') + download->downloadFileName());
        if (path.isEmpty()) {
          download->cancel();
          return;
        }
        const QFileInfo target(path);
        download->setDownloadDirectory(target.absolutePath());
        download->setDownloadFileName(target.fileName());
        download->accept();
      });
}

}  // namespace browser
