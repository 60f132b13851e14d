// The internet layer's proxy option, the settings store and the message box, and the
// proxy as the engine meets it: a logging proxy on 127.0.0.1 and real page loads.
#include "platform/internet_layer.h"
#include "browser/engine_profile.h"
#include "browser/webengine_browser.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "proxy/message_box_watcher.h"
#include "support/http_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

using platform::INTERNET_OPEN_TYPE_DIRECT;
using platform::INTERNET_OPEN_TYPE_PROXY;
using platform::INTERNET_OPTION_PROXY;
using platform::INTERNET_PROXY_INFO;

namespace {

struct Queried {
  bool ok = false;
  std::uint32_t accessType = 0;
  std::string proxy;
  std::string bypass;
};

Queried query() {
  std::array<char, 4096> buffer{};
  std::uint32_t length = buffer.size();
  Queried q;
  q.ok = platform::InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, buffer.data(), &length);
  INTERNET_PROXY_INFO record{};
  std::memcpy(&record, buffer.data(), sizeof record);
  q.accessType = record.dwAccessType;
  q.proxy = record.lpszProxy != nullptr ? record.lpszProxy : "(null)";
  q.bypass = record.lpszProxyBypass != nullptr ? record.lpszProxyBypass : "(null)";
  return q;
}

bool set(std::uint32_t accessType, const char* proxyList, const char* bypassList) {
  const INTERNET_PROXY_INFO record{accessType, proxyList, bypassList};
  return platform::InternetSetOptionA(nullptr, INTERNET_OPTION_PROXY, &record, sizeof record);
}

class InternetLayer : public ::testing::Test {
 protected:
  void SetUp() override { platform::initInternetLayer(&browser::sharedProfile); }
};

TEST_F(InternetLayer, StartsDirectWithEmptyListsAndNoProxy) {
  const Queried q = query();
  EXPECT_TRUE(q.ok);
  EXPECT_EQ(q.accessType, INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(q.proxy, "");
  EXPECT_EQ(q.bypass, "");
  EXPECT_EQ(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);
}

TEST_F(InternetLayer, QueryAnswersExactlyWhatWasLastSet) {
  // The caller's texts need to live only for the call.
  auto proxyList = std::make_unique<std::string>("socks=s:1080 https=beta:443 http=127.0.0.1:3128");
  auto bypassList = std::make_unique<std::string>("a  b <local>");
  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_PROXY, proxyList->c_str(), bypassList->c_str()));
  proxyList.reset();
  bypassList.reset();
  Queried q = query();
  EXPECT_EQ(q.accessType, INTERNET_OPEN_TYPE_PROXY);
  EXPECT_EQ(q.proxy, "socks=s:1080 https=beta:443 http=127.0.0.1:3128");
  EXPECT_EQ(q.bypass, "a  b <local>");
  EXPECT_EQ(QNetworkProxy::applicationProxy(),
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 3128));

  // Direct keeps its lists too, and really goes direct.
  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_DIRECT, "http=alpha:8080", nullptr));
  q = query();
  EXPECT_EQ(q.accessType, INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(q.proxy, "http=alpha:8080");
  EXPECT_EQ(q.bypass, "");  // a null list reads back as empty text
  EXPECT_EQ(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);

  // Non-ASCII text survives the crossing unchanged.
  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_DIRECT, "",
                  "b\xC3\xBC"
                  "cher.example"));
  EXPECT_EQ(query().bypass,
            "b\xC3\xBC"
            "cher.example");
}

TEST_F(InternetLayer, RefusedSetKeepsThePreviousConfiguration) {
  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_PROXY, "http=127.0.0.1:3128", "x"));
  const INTERNET_PROXY_INFO good{INTERNET_OPEN_TYPE_PROXY, "http=127.0.0.1:1", ""};
  int handle = 0;
  EXPECT_FALSE(platform::InternetSetOptionA(&handle, INTERNET_OPTION_PROXY, &good, sizeof good));
  EXPECT_FALSE(platform::InternetSetOptionA(nullptr, 39, &good, sizeof good));
  EXPECT_FALSE(platform::InternetSetOptionA(nullptr, INTERNET_OPTION_PROXY, &good, 12));
  EXPECT_FALSE(platform::InternetSetOptionA(nullptr, INTERNET_OPTION_PROXY, nullptr, sizeof good));
  EXPECT_FALSE(set(0, "http=127.0.0.1:1", ""));
  EXPECT_FALSE(set(2, "http=127.0.0.1:1", ""));
  for (const char* unusable : {"", " ", "bogus=a:1", "http=:80", "http=alpha:port", "http=alpha:0",
                               "http=alpha:65536", "http=a/b:80", "http=a:b:80", "socks=s:x",
                               "http=[zz]:1", "http=-a:1", "http=a..b:1", "http=a%b:1"}) {
    EXPECT_FALSE(set(INTERNET_OPEN_TYPE_PROXY, unusable, "")) << unusable;
  }
  const Queried q = query();
  EXPECT_EQ(q.accessType, INTERNET_OPEN_TYPE_PROXY);
  EXPECT_EQ(q.proxy, "http=127.0.0.1:3128");
  EXPECT_EQ(q.bypass, "x");
  EXPECT_EQ(QNetworkProxy::applicationProxy().port(), 3128);
}

TEST_F(InternetLayer, TooSmallBufferIsLeftAloneAndTheNeededSizeReported) {
  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_PROXY, "http=127.0.0.1:3128", "abc"));
  const std::uint32_t needed = sizeof(INTERNET_PROXY_INFO) + 20 + 4;
  std::array<char, 64> buffer{};
  std::uint32_t length = needed - 1;
  EXPECT_FALSE(
      platform::InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, buffer.data(), &length));
  EXPECT_EQ(length, needed);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0), static_cast<long>(buffer.size()));
  length = 0;
  EXPECT_FALSE(platform::InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, nullptr, &length));
  EXPECT_EQ(length, needed);
  // Exactly enough works, even at an odd address.
  std::array<char, 128> big{};
  length = needed;
  EXPECT_TRUE(
      platform::InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, big.data() + 1, &length));
  INTERNET_PROXY_INFO record{};
  std::memcpy(&record, big.data() + 1, sizeof record);
  EXPECT_STREQ(record.lpszProxyBypass, "abc");
}

TEST(EngineProxyFor, TheHttpEntryDrivesTheEngine) {
  const auto proxyOf = [](const char* list) {
    return platform::engineProxyFor(INTERNET_OPEN_TYPE_PROXY, list);
  };
  using P = QNetworkProxy;
  EXPECT_EQ(proxyOf("socks=s:1 https=e:2 http=h:3 gopher=g:4 ftp=f:5"), P(P::HttpProxy, "h", 3));
  EXPECT_EQ(proxyOf("socks=s:1 https=e:2"), P(P::HttpProxy, "e", 2));
  EXPECT_EQ(proxyOf("socks=s:1"), P(P::Socks5Proxy, "s", 1));
  EXPECT_EQ(proxyOf("socks=s"), P(P::Socks5Proxy, "s", 1080));
  EXPECT_EQ(proxyOf("h:8080"), P(P::HttpProxy, "h", 8080));
  EXPECT_EQ(proxyOf("http=h"), P(P::HttpProxy, "h", 80));
  EXPECT_EQ(proxyOf("http=[::1]:81"), P(P::HttpProxy, "::1", 81));
  EXPECT_EQ(proxyOf("http=a:1;https=b:2"), P(P::HttpProxy, "a", 1));
  EXPECT_EQ(proxyOf("http=a:1 http=b:2"), P(P::HttpProxy, "b", 2));
  EXPECT_EQ(proxyOf("http=b\xC3\xBC"
                    "cher.example:1"),
            P(P::HttpProxy, "xn--bcher-kva.example", 1));
  EXPECT_EQ(proxyOf("ftp=f:21 gopher=g:70"), P(P::NoProxy));
  // The driving entry must be usable: a broken Http row is not replaced silently.
  EXPECT_EQ(proxyOf("http=h:x socks=s:1"), std::nullopt);
  EXPECT_EQ(platform::engineProxyFor(INTERNET_OPEN_TYPE_DIRECT, "http=h:x"), P(P::NoProxy));
}

TEST(SettingsStore, ValuesRoundTripThroughTheUsersConfigFile) {
  const QString app = QStringLiteral("Store Test");
  const QString path = platform::settingsFilePath(app);
  EXPECT_EQ(path, QDir::homePath() + "/.config/Store Test.ini");
  QFile::remove(path);
  EXPECT_EQ(platform::GetSetting(app, "proxy", "address", "fallback"), "fallback");
  EXPECT_EQ(platform::GetSetting(app, "proxy", "address"), "");
  for (const QString& value :
       {QStringLiteral("  spaced  "), QStringLiteral("a;b=c\\d\"e"), QStringLiteral("line\nbreak"),
        QStringLiteral("b\u00fccher"), QString()}) {
    ASSERT_TRUE(platform::SaveSetting(app, "proxy", "address", value));
    EXPECT_EQ(platform::GetSetting(app, "proxy", "address", "fallback"), value);
  }
  ASSERT_TRUE(QFile::exists(path));
  ASSERT_TRUE(platform::SaveSetting(app, "proxy", "port", "8080"));
  QSettings file(path, QSettings::IniFormat);
  EXPECT_EQ(file.value("proxy/port").toString(), "8080");
  // Sections keep keys apart.
  EXPECT_EQ(platform::GetSetting(app, "other", "port", "none"), "none");
}

TEST(SettingsStore, AnEmptyOrOddApplicationNameStaysReadable) {
  EXPECT_EQ(platform::settingsFilePath(""), platform::settingsFilePath("Hushleaf Browser"));
  ASSERT_TRUE(platform::SaveSetting("", "proxy", "use", "true"));
  EXPECT_EQ(platform::GetSetting("Hushleaf Browser", "proxy", "use"), "true");
  const QString odd = platform::settingsFilePath("../x/y");
  EXPECT_EQ(odd, QDir::homePath() + "/.config/_._x_y.ini");
  ASSERT_TRUE(platform::SaveSetting("../x/y", "a/b", "k", "v"));
  EXPECT_EQ(platform::GetSetting("../x/y", "a/b", "k"), "v");
}

TEST(MessageBox, StylesGiveTheirIconsAndASingleOkButton) {
  proxytest::MessageBoxWatcher watcher;
  EXPECT_EQ(platform::MsgBox("Info text", platform::vbInformation, "Title A"), platform::vbOK);
  EXPECT_EQ(platform::MsgBox("Warn text", platform::vbExclamation, "Title B"), platform::vbOK);
  ASSERT_EQ(watcher.seen().size(), 2u);
  EXPECT_EQ(watcher.seen()[0].text, "Info text");
  EXPECT_EQ(watcher.seen()[0].title, "Title A");
  EXPECT_EQ(watcher.seen()[0].icon, QMessageBox::Information);
  EXPECT_TRUE(watcher.seen()[0].modal);
  EXPECT_EQ(watcher.seen()[0].buttons, 1);
  EXPECT_EQ(watcher.seen()[1].icon, QMessageBox::Warning);
  EXPECT_EQ(watcher.seen()[1].buttons, 1);
}

// ---- The engine meets the configuration ----

class EngineProxy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    proxyServer = new testsupport::HttpServer();
    proxyServer->setHandler([](const testsupport::HttpRequest& request) {
      testsupport::HttpResponse response;
      response.body =
          testsupport::htmlPage("Via Proxy", QString::fromUtf8(request.target)).toUtf8();
      return response;
    });
  }
  static void TearDownTestSuite() {
    delete proxyServer;
    proxyServer = nullptr;
  }

  void SetUp() override { proxyServer->clearRequests(); }

  // Loads the address and says whether the load succeeded and what title it showed.
  static std::pair<bool, QString> load(browser::WebEngineBrowser* engine, const QString& url) {
    QSignalSpy finished(engine->page(), &QWebEnginePage::loadFinished);
    engine->Navigate(url);
    if (!testsupport::waitUntil([&] { return finished.count() > 0; }, 20000)) {
      return {false, QStringLiteral("(timeout)")};
    }
    return {finished.first().first().toBool(), engine->page()->title()};
  }

  static int proxiedRequests() { return proxyServer->requestCount("http://example.invalid/"); }

  static QByteArray proxyList() {
    return QByteArray("http=127.0.0.1:") + QByteArray::number(proxyServer->port());
  }

  static testsupport::HttpServer* proxyServer;
};

testsupport::HttpServer* EngineProxy::proxyServer = nullptr;

TEST_F(EngineProxy, NextNavigationFollowsEveryChange) {
  // The environment names our proxy; the program must not use it.
  qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(proxyServer->port()));
  qputenv("HTTP_PROXY", "http://127.0.0.1:" + QByteArray::number(proxyServer->port()));
  platform::initInternetLayer(&browser::sharedProfile);
  auto* engine = new browser::WebEngineBrowser(nullptr);
  std::unique_ptr<QWidget> view(engine->widget());
  view->resize(640, 480);
  view->show();

  EXPECT_FALSE(load(engine, "http://example.invalid/").first);
  EXPECT_EQ(proxiedRequests(), 0) << "start-up must be direct";

  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_PROXY, proxyList().constData(), "<local>"));
  auto [ok, title] = load(engine, "http://example.invalid/");
  EXPECT_TRUE(ok);
  EXPECT_EQ(title, "Via Proxy");
  EXPECT_EQ(proxiedRequests(), 1);

  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_DIRECT, proxyList().constData(), ""));
  std::tie(ok, title) = load(engine, "http://example.invalid/");
  EXPECT_FALSE(ok);
  EXPECT_EQ(proxiedRequests(), 1);

  // The Http entry drives the engine when several are filled.
  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_PROXY, ("socks=127.0.0.1:9 " + proxyList()).constData(), ""));
  std::tie(ok, title) = load(engine, "http://example.invalid/");
  EXPECT_TRUE(ok);
  EXPECT_EQ(proxiedRequests(), 2);

  // A window opened now uses it from its first navigation, as does the old one.
  auto* second = new browser::WebEngineBrowser(nullptr);
  std::unique_ptr<QWidget> secondView(second->widget());
  secondView->show();
  EXPECT_TRUE(load(second, "http://example.invalid/").first);
  EXPECT_EQ(proxiedRequests(), 3);

  ASSERT_TRUE(set(INTERNET_OPEN_TYPE_DIRECT, "", ""));
  EXPECT_FALSE(load(second, "http://example.invalid/").first);
  EXPECT_FALSE(load(engine, "http://example.invalid/").first);
  EXPECT_EQ(proxiedRequests(), 3);
  qunsetenv("http_proxy");
  qunsetenv("HTTP_PROXY");
}

}  // namespace
