// ExecWB commands, Offline and Silent as a user meets them: real dialogs, the real
// clipboard, real files.
#include "browser/browser_engine.h"
#include "browser/engine_profile.h"
#include "browser/engine_test_support.h"
#include "browser/start_page.h"
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

using enginetest::EngineWindow;
using enginetest::load;
using enginetest::ModalWatcher;
using enginetest::runJs;
using testsupport::pump;
using testsupport::waitUntil;
namespace cmd = browser::olecmdid;
namespace opt = browser::olecmdexecopt;

namespace {

class EngineCommands : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new testsupport::HttpServer();
    server->setPage("/form", "Form", "<input id=i value='hello world'><p>text</p>");
    server->setPage("/rich", "Rich Page",
                    "<link rel=stylesheet href='/style.css'><p class=x>styled</p>"
                    "<img src='/dot.svg' width=10 height=10>");
    testsupport::HttpResponse css;
    css.contentType = "text/css";
    css.body = ".x { color: rgb(1, 2, 3); }";
    server->setPage("/style.css", css);
    testsupport::HttpResponse svg;
    svg.contentType = "image/svg+xml";
    svg.body =
        "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
        "<rect width='10' height='10' fill='red'/></svg>";
    server->setPage("/dot.svg", svg);
    server->setPage("/plain", "Plain", "<p>plain</p>");
    server->setPage("/dialogs", "Dialogs",
                    "<script>window.r = [String(alert('a')), confirm('c'), prompt('p', 'dflt')];"
                    "</script>");
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  static testsupport::HttpServer* server;
};

testsupport::HttpServer* EngineCommands::server = nullptr;

QVariant zoomLevel(browser::BrowserEngine* engine) {
  QVariant out;
  if (!engine->ExecWB(cmd::Zoom, opt::DontPromptUser, nullptr, &out)) {
    return {};
  }
  return out;
}

TEST_F(EngineCommands, TextSizeLevelsSetReadBackAndRefuseNonsense) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/plain")));
  EXPECT_EQ(zoomLevel(w.engine), QVariant(browser::kDefaultTextSizeLevel));
  double lastFactor = 0;
  for (int level = 0; level < browser::kTextSizeLevels; ++level) {
    const QVariant in(level);
    EXPECT_TRUE(w.engine->ExecWB(cmd::Zoom, opt::DontPromptUser, &in, nullptr));
    EXPECT_EQ(zoomLevel(w.engine), QVariant(level));
    EXPECT_GT(w.engine->view()->zoomFactor(), lastFactor) << "levels grow from 0 to 4";
    lastFactor = w.engine->view()->zoomFactor();
  }
  for (const QVariant& bad :
       {QVariant(-1), QVariant(5), QVariant(1000), QVariant("big"), QVariant(QStringList{"1"})}) {
    QVariant out;
    EXPECT_FALSE(w.engine->ExecWB(cmd::Zoom, opt::DontPromptUser, &bad, &out))
        << bad.toString().toStdString();
    EXPECT_EQ(zoomLevel(w.engine), QVariant(4));
  }
  // The level belongs to the window and survives the next page.
  ASSERT_TRUE(load(w.engine, server->url("/form")));
  EXPECT_EQ(zoomLevel(w.engine), QVariant(4));
  EXPECT_DOUBLE_EQ(w.engine->view()->zoomFactor(), lastFactor);
  EXPECT_FALSE(w.engine->ExecWB(9999, opt::DoDefault, nullptr, nullptr));
}

TEST_F(EngineCommands, EditCommandsWorkOnAFocusedField) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/form")));
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("sentinel");
  runJs(w.page(), "document.getElementById('i').focus()");
  const auto value = [&] {
    return runJs(w.page(), "document.getElementById('i').value").toString();
  };

  EXPECT_TRUE(w.engine->ExecWB(cmd::SelectAll, opt::DoDefault));
  EXPECT_TRUE(w.engine->ExecWB(cmd::Copy, opt::DoDefault));
  EXPECT_TRUE(waitUntil([&] { return clipboard->text() == "hello world"; }, 5000))
      << clipboard->text().toStdString();

  clipboard->setText("sentinel");
  EXPECT_TRUE(w.engine->ExecWB(cmd::SelectAll, opt::DoDefault));
  EXPECT_TRUE(w.engine->ExecWB(cmd::Cut, opt::DoDefault));
  EXPECT_TRUE(waitUntil([&] { return clipboard->text() == "hello world"; }, 5000));
  EXPECT_TRUE(waitUntil([&] { return value().isEmpty(); }, 5000));

  clipboard->setText("pasted");
  EXPECT_TRUE(w.engine->ExecWB(cmd::Paste, opt::DoDefault));
  EXPECT_TRUE(waitUntil([&] { return value() == "pasted"; }, 5000)) << value().toStdString();

  EXPECT_TRUE(w.engine->ExecWB(cmd::Undo, opt::DoDefault));
  EXPECT_TRUE(waitUntil([&] { return value().isEmpty(); }, 5000)) << value().toStdString();
}

TEST_F(EngineCommands, PropertiesDialogDescribesThePage) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/plain")));
  QString title;
  QStringList texts;
  ModalWatcher watcher([&](QWidget* modal) {
    title = modal->windowTitle();
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
      texts << label->text();
    }
    modal->close();
  });
  EXPECT_TRUE(w.engine->ExecWB(cmd::Properties, opt::DoDefault));
  EXPECT_EQ(watcher.seen(), 1);
  EXPECT_EQ(title, "Properties");
  EXPECT_TRUE(texts.contains(server->url("/plain"))) << texts.join('|').toStdString();
  EXPECT_TRUE(texts.contains("Plain")) << texts.join('|').toStdString();
}

TEST_F(EngineCommands, PrintWithoutPromptWritesThePdfPrinterFile) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/plain")));
  QTemporaryDir dir;
  const QString pdf = dir.filePath("out.pdf");
  w.engine->printer().setOutputFormat(QPrinter::PdfFormat);
  w.engine->printer().setOutputFileName(pdf);

  QSignalSpy finished(w.engine->view(), &QWebEngineView::printFinished);
  ModalWatcher watcher([](QWidget* modal) { modal->close(); });
  ASSERT_TRUE(w.engine->ExecWB(cmd::Print, opt::DontPromptUser));
  EXPECT_FALSE(w.engine->ExecWB(cmd::Print, opt::DontPromptUser)) << "one print at a time";
  ASSERT_TRUE(waitUntil([&] { return finished.count() > 0; }, 30000));
  EXPECT_TRUE(finished.first().value(0).toBool());
  EXPECT_EQ(watcher.seen(), 0) << "DONTPROMPTUSER showed a dialog";
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
  EXPECT_GT(file.size(), 500);
}

TEST_F(EngineCommands, APagesOwnPrintAsksUnlessTheBrowserIsSilent) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/plain")));
  QStringList kinds;
  ModalWatcher watcher([&](QWidget* modal) {
    kinds << modal->metaObject()->className();
    static_cast<QDialog*>(modal)->reject();
  });
  runJs(w.page(), "window.print(); true");
  ASSERT_TRUE(waitUntil([&] { return watcher.seen() > 0; }, 5000));
  EXPECT_EQ(kinds, QStringList{"QPrintDialog"});
  w.engine->setSilent(true);
  runJs(w.page(), "window.print(); true");
  pump(1000);
  EXPECT_EQ(watcher.seen(), 1);
}

TEST_F(EngineCommands, PrintAsksWhereItMustAndCancelPrintsNothing) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/plain")));
  QSignalSpy finished(w.engine->view(), &QWebEngineView::printFinished);
  QStringList kinds;
  ModalWatcher watcher([&](QWidget* modal) {
    kinds << modal->metaObject()->className();
    static_cast<QDialog*>(modal)->reject();
  });
  // Asking the user is the default; with no printer to go to, even DONTPROMPTUSER asks
  // rather than printing into nowhere.
  EXPECT_FALSE(w.engine->ExecWB(cmd::Print, opt::DoDefault));
  if (w.engine->printer().outputFormat() == QPrinter::PdfFormat &&
      w.engine->printer().outputFileName().isEmpty()) {
    EXPECT_FALSE(w.engine->ExecWB(cmd::Print, opt::DontPromptUser));
    EXPECT_EQ(watcher.seen(), 2);
  }
  EXPECT_GE(watcher.seen(), 1);
  for (const QString& kind : kinds) {
    EXPECT_EQ(kind, "QPrintDialog");
  }
  pump(300);
  EXPECT_EQ(finished.count(), 0);
}

TEST_F(EngineCommands, SaveAsWritesTheCompletePageWhereTheUserChose) {
  EngineWindow w;
  ASSERT_TRUE(load(w.engine, server->url("/rich")));
  QTemporaryDir dir;
  const QString target = dir.filePath("saved.htm");
  QString suggested;
  QStringList saveLog;  // what the engine did with the save, for a failure message
  QObject scope;        // ends the logging with this test
  QObject::connect(
      browser::sharedProfile(), &QWebEngineProfile::downloadRequested, &scope,
      [&](QWebEngineDownloadRequest* request) {
        saveLog << "requested " + request->downloadDirectory() + "/" + request->downloadFileName();
        QObject::connect(
            request, &QWebEngineDownloadRequest::stateChanged, &scope, [&, request](auto state) {
              saveLog << QString::number(state) + " " + request->interruptReasonString();
            });
      });
  const QVariant zero(static_cast<short>(0));
  QVariant out(static_cast<short>(0));
  {
    ModalWatcher watcher([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) {
        ADD_FAILURE() << "not a file dialog: " << modal->metaObject()->className();
        modal->close();
        return;
      }
      suggested = dialog->selectedFiles().value(0);
      // Type the name as a user would, once the dialog has settled on its folder (a
      // selection made earlier can be replaced by the dialog's own start-up).
      QTimer::singleShot(300, dialog, [dialog, target] {
        if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit")) {
          edit->setText(target);
        } else {
          dialog->selectFile(target);
        }
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept runs
      });
    });
    EXPECT_TRUE(w.engine->ExecWB(cmd::SaveAs, opt::DoDefault, &zero, &out));
    EXPECT_EQ(watcher.seen(), 1);
  }
  EXPECT_TRUE(suggested.endsWith("/Rich Page.htm")) << suggested.toStdString();

  ASSERT_TRUE(waitUntil([&] { return QFile::exists(target); }, 15000))
      << "save: " << saveLog.join(", ").toStdString();
  const QDir files(dir.filePath("saved_files"));
  ASSERT_TRUE(
      waitUntil([&] { return files.exists() && files.entryList(QDir::Files).size() >= 2; }, 15000))
      << files.entryList(QDir::Files).join('|').toStdString();
  pump(300);
  QFile html(target);
  ASSERT_TRUE(html.open(QIODevice::ReadOnly));
  const QByteArray saved = html.readAll();
  EXPECT_TRUE(saved.contains("styled"));
  EXPECT_TRUE(saved.contains("saved_files/")) << "links point at the saved copies";

  // Cancelling the dialog saves nothing.
  ModalWatcher cancel([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(w.engine->ExecWB(cmd::SaveAs, opt::DoDefault, &zero, &out));
  EXPECT_EQ(cancel.seen(), 1);
}

TEST_F(EngineCommands, OfflineBlocksTheNetworkButNotLocalPages) {
  EngineWindow w;
  QTemporaryDir dir;
  QFile local(dir.filePath("local.htm"));
  ASSERT_TRUE(local.open(QIODevice::WriteOnly));
  local.write(testsupport::htmlPage("Local", "<p>on disk</p>").toUtf8());
  local.close();

  EXPECT_FALSE(w.engine->Offline());
  w.engine->setOffline(true);
  EXPECT_TRUE(w.engine->Offline());
  server->clearRequests();
  EXPECT_FALSE(load(w.engine, server->url("/plain")));
  pump(200);
  EXPECT_TRUE(server->requests().isEmpty()) << "an offline load reached the server";

  EXPECT_TRUE(load(w.engine, browser::currentStartPageAddress()));
  EXPECT_TRUE(load(w.engine, QUrl::fromLocalFile(local.fileName()).toString()));
  EXPECT_EQ(w.engine->LocationName(), "Local");
  EXPECT_TRUE(server->requests().isEmpty());

  w.engine->setOffline(false);
  EXPECT_FALSE(w.engine->Offline());
  EXPECT_TRUE(load(w.engine, server->url("/plain")));
  EXPECT_EQ(server->requestCount("/plain"), 1);
  EXPECT_EQ(w.engine->LocationName(), "Plain");
}

TEST_F(EngineCommands, SilentSuppressesScriptDialogsAndLoudShowsThem) {
  EngineWindow w;
  int shown = 0;
  ModalWatcher watcher([&](QWidget* modal) {
    ++shown;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      box->button(QMessageBox::Ok)->click();
    } else {
      static_cast<QDialog*>(modal)->accept();
    }
  });

  w.engine->setSilent(true);
  EXPECT_TRUE(w.engine->Silent());
  ASSERT_TRUE(load(w.engine, server->url("/dialogs")));
  EXPECT_EQ(runJs(w.page(), "JSON.stringify(window.r)").toString(), R"(["undefined",false,null])");
  EXPECT_EQ(shown, 0);

  w.engine->setSilent(false);
  EXPECT_FALSE(w.engine->Silent());
  ASSERT_TRUE(load(w.engine, server->url("/dialogs")));
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(runJs(w.page(), "JSON.stringify(window.r)").toString(), R"(["undefined",true,"dflt"])");
}

}  // namespace
