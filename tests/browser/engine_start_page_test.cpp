// The start page as the engine shows it, and every other res: address refused.
#include "browser/browser_engine.h"
#include "browser/engine_test_support.h"
#include "browser/start_page.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

using enginetest::EngineWindow;
using enginetest::load;
using enginetest::runJs;
using testsupport::waitUntil;

namespace {

QString normalised(QString text) {
  text.replace(QRegularExpression("[ \\t\\r]+"), " ");
  return text;
}

TEST(EngineStartPage, LoadsUnderItsExactAddressWithItsText) {
  EngineWindow w;
  const QString address = browser::currentStartPageAddress();
  EXPECT_TRUE(address.startsWith("res://" + QCoreApplication::applicationDirPath() + "\\"));
  EXPECT_TRUE(address.endsWith(QFileInfo(QCoreApplication::applicationFilePath()).fileName() +
                               ".exe/page.htm"));
  QSignalSpy done(w.engine, &browser::BrowserEngine::DocumentComplete);
  ASSERT_TRUE(load(w.engine, address));
  EXPECT_EQ(w.engine->LocationURL(), address);
  ASSERT_EQ(done.count(), 1);
  EXPECT_EQ(done.first().value(0).toString(), address);

  EXPECT_EQ(runJs(w.page(), "document.title").toString(), "");
  EXPECT_EQ(runJs(w.page(), "document.querySelectorAll('p').length").toInt(), 5);
  EXPECT_EQ(runJs(w.page(), "location.protocol").toString(), "res:");
  // Every paragraph and the link are grey.
  EXPECT_EQ(runJs(w.page(),
                  "Array.from(document.querySelectorAll('p, a'))"
                  ".every(e => getComputedStyle(e).color === 'rgb(128, 128, 128)')")
                .toBool(),
            true);
  const QString text = normalised(runJs(w.page(), "document.body.innerText").toString());
  for (const QString& expected : {
           QStringLiteral("Reminder:\nOnce the ZodorAzev button is depressed, Hushleaf Browser "
                          "will disappear from sight anytime you move the mouse cursor off of its "
                          "window."),
           QStringLiteral("To restore the hidden Hushleaf Browser window, move the mouse cursor "
                          "to the\nLOWER RIGHT portion of the screen."),
           QStringLiteral("The transparency of the Hushleaf Browser window\u00a0can be adjusted "
                          "by moving the slider control located above."),
       }) {
    EXPECT_TRUE(text.contains(expected)) << text.toStdString();
  }
  EXPECT_EQ(runJs(w.page(), "document.querySelector('strong').textContent").toString(), "restore");
  EXPECT_TRUE(text.contains("Hushleaf Browser"));
}

TEST(EngineStartPage, EveryOtherResAddressFailsAndNothingComesFromDisk) {
  EngineWindow w;
  // A decoy tree on disk with files a careless handler could serve.
  QTemporaryDir dir;
  const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  QDir(dir.path()).mkpath(exe + ".exe");
  for (const QString& name : {QString("page.htm"), exe + ".exe/page.htm"}) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><title>DECOY</title><body>DECOY FROM DISK</body></html>");
  }
  const QString good = browser::currentStartPageAddress();
  const QString appDir = QCoreApplication::applicationDirPath();
  const QString prefix = "res://" + appDir + "\\" + exe + ".exe";
  const QStringList bad = {
      prefix + "/../" + exe + ".exe/page.htm",
      prefix + "/page.htm/../page.htm",
      prefix + "/%2e%2e/" + exe + ".exe/page.htm",
      prefix + "/%2E%2E/%2E%2E/%2E%2E/%2E%2E/etc/passwd",
      prefix + "/../../../../../../etc/passwd",
      prefix + "%2Fpage.htm",
      "res://" + appDir + "%5C" + exe + ".exe%2fpage.htm",
      prefix + "/PAGE.HTM",
      prefix + "/other.htm",
      prefix + "/page.htm/",
      "res://" + appDir + "\\other.exe/page.htm",
      "res://" + appDir + "/" + exe + ".exe/page.htm",
      "res://host" + appDir + "\\" + exe + ".exe/page.htm",
      "res://localhost/" + appDir + "\\" + exe + ".exe/page.htm",
      "res://user@" + appDir + "\\" + exe + ".exe/page.htm",
      "res://" + dir.path() + "/page.htm",
      "res://" + dir.path() + "\\" + exe + ".exe/page.htm",
      "res:///etc/passwd",
      "res:page.htm",
      "res:",
      "res://",
  };
  for (const QString& address : bad) {
    SCOPED_TRACE(address.toStdString());
    EXPECT_FALSE(load(w.engine, address));
    const QString text = runJs(w.page(), "document.documentElement.innerText").toString();
    EXPECT_FALSE(text.contains("DECOY"));
    EXPECT_FALSE(text.contains("root:"));
    EXPECT_FALSE(text.contains("ZodorAzev"));
  }
  // A script on a page cannot reach past the one page either.
  ASSERT_TRUE(load(w.engine, good));
  const QVariant fetched =
      runJs(w.page(),
            "var x = new XMLHttpRequest(); try { x.open('GET', 'page.htm/../../etc/passwd', "
            "false); x.send(); x.status + ':' + x.responseText.length } catch (e) { 'refused' }");
  EXPECT_FALSE(fetched.toString().startsWith("200")) << fetched.toString().toStdString();
  ASSERT_TRUE(load(w.engine, good)) << "the real page still loads after the refusals";
}

}  // namespace
