// A page that stores cookies, local storage and IndexedDB leaves nothing under a fresh
// HOME: the engine's profile is off the record. Runs the engine in a child process so
// that its start-up and exit writes are caught too.
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

QStringList treeOf(const QString& root) {
  QStringList entries;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    entries << QDir(root).relativeFilePath(it.next());
  }
  entries.sort();
  return entries;
}

TEST(EngineHome, StoragePagesLeaveNoFilesInAFreshHome) {
  testsupport::HttpServer server;
  testsupport::HttpResponse page;
  page.headers = {{"Set-Cookie", "kept=1; Max-Age=86400; Path=/"},
                  {"Set-Cookie", "session=2; Path=/"}};
  page.body = testsupport::htmlPage(
                  "storing",
                  "<script>"
                  "localStorage.setItem('k', 'v'.repeat(1000));"
                  "sessionStorage.setItem('s', 'v');"
                  "document.cookie = 'script=3; max-age=86400';"
                  "var req = indexedDB.open('db', 1);"
                  "req.onupgradeneeded = function () { req.result.createObjectStore('o'); };"
                  "function report(idb) {"
                  "  document.title = 'report:cookie=' + document.cookie + ';local=' +"
                  "    localStorage.getItem('k').length + ';idb=' + idb;"
                  "}"
                  "req.onerror = function () { report('error'); };"
                  "req.onsuccess = function () {"
                  "  var tx = req.result.transaction('o', 'readwrite');"
                  "  tx.objectStore('o').put('value'.repeat(1000), 'key');"
                  // A TLS attempt too: certificate handling must not open a store on disk.
                  "  tx.oncomplete = function () {"
                  "    fetch(location.href.replace('http:', 'https:')).catch(function () {});"
                  "    setTimeout(function () { report('stored'); }, 1500);"
                  "  };"
                  "  tx.onerror = function () { report('txerror'); };"
                  "};"
                  "</script>")
                  .toUtf8();
  server.setPage("/store", page);

  QTemporaryDir home;
  QTemporaryDir runtime;
  ASSERT_TRUE(home.isValid() && runtime.isValid());
  const QStringList before = treeOf(home.path());
  ASSERT_TRUE(before.isEmpty());

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home.path());
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    env.remove(var);
  }
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  QProcess probe;
  probe.setProcessEnvironment(env);
  probe.setProgram(HUSHLEAF_ENGINE_HOME_PROBE);
  probe.setArguments({server.url("/store")});
  probe.start();
  ASSERT_TRUE(probe.waitForStarted());
  // The server lives in this process: keep its event loop turning while the probe runs.
  ASSERT_TRUE(testsupport::waitUntil([&] { return probe.state() == QProcess::NotRunning; }, 45000));
  const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
  const QString err = QString::fromLocal8Bit(probe.readAllStandardError());
  ASSERT_EQ(probe.exitStatus(), QProcess::NormalExit) << err.toStdString();
  ASSERT_EQ(probe.exitCode(), 0) << err.toStdString();
  // The storage really happened, in memory.
  EXPECT_TRUE(out.contains("kept=1")) << out.toStdString();
  EXPECT_TRUE(out.contains("script=3")) << out.toStdString();
  EXPECT_TRUE(out.contains("local=1000")) << out.toStdString();
  EXPECT_TRUE(out.contains("idb=stored")) << out.toStdString();

  const QStringList after = treeOf(home.path());
  EXPECT_TRUE(after.isEmpty()) << "new under HOME: " << after.join(", ").toStdString();
}

}  // namespace
