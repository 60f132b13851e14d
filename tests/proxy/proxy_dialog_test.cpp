// The proxy dialog wired to the internet layer, the settings store, the message box and
// the engine's proxy, under Xvfb. The journey shows a page coming through the proxy.
#include "proxy/proxy_dialog.h"
#include "browser/engine_proxy.h"
#include "platform/app_title.h"
#include "platform/internet_layer.h"
#include "platform/settings_store.h"
#include "support/modal.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QNetworkProxy>
#include <QPlainTextEdit>
#include <QProcess>

#include <cstring>
#include <memory>

using testsupport::waitUntil;

namespace {

const QString kApp = QStringLiteral("Hushleaf Browser");

// The layer's configuration as "type proxy-list | bypass-list".
QString layer() {
  alignas(platform::INTERNET_PROXY_INFO) char buffer[4096] = {};
  std::uint32_t length = sizeof buffer;
  platform::InternetQueryOptionA(nullptr, platform::INTERNET_OPTION_PROXY, buffer, &length);
  platform::INTERNET_PROXY_INFO r{};
  std::memcpy(&r, buffer, sizeof r);
  return QStringLiteral("%1 %2 | %3").arg(r.dwAccessType).arg(r.lpszProxy, r.lpszProxyBypass);
}

bool setLayer(std::uint32_t type, const QByteArray& proxyList, const char* bypassList = "") {
  const platform::INTERNET_PROXY_INFO record{type, proxyList.constData(), bypassList};
  return platform::InternetSetOptionA(nullptr, platform::INTERNET_OPTION_PROXY, &record,
                                      sizeof record);
}

QString stored(const char* key) {
  return platform::GetSetting(kApp, QStringLiteral("proxy"), key, QStringLiteral("(absent)"));
}

class ProxyDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::AppTitle::set(kApp);
    browser::initEngineProxy();
    QFile::remove(platform::settingsFilePath(kApp));
  }

  void open() {
    d = std::make_unique<proxy::frmProxyTest>();
    d->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.get()));
  }
  template <typename W = QLineEdit>
  W* in(const char* name) {
    W* w = d->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void click(const char* name) { QTest::mouseClick(in<QAbstractButton>(name), Qt::LeftButton); }

  // Real key presses from the X server, as a keyboard makes them.
  void pressReturnOn(const char* name) {
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    in<QWidget>(name)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitUntil([&] { return in<QWidget>(name)->hasFocus(); }));
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "Return"}), 0);
  }

  std::unique_ptr<proxy::frmProxyTest> d;
  // Answers the message boxes with OK; the dialog itself, modal too, is left to the test.
  testsupport::ModalWatcher messages{[](QWidget* modal) {
    if (qobject_cast<QMessageBox*>(modal) != nullptr) {
      testsupport::ModalWatcher::dismiss(modal);
    }
  }};
};

TEST_F(ProxyDialog, ApplyAndOkSetTheProxyForTheEngineAndStoreTheFields) {
  // The environment's proxy never counts; the engine goes direct until one is set.
  qputenv("http_proxy", "http://127.0.0.1:1");
  browser::initEngineProxy();
  EXPECT_EQ(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);
  open();
  click("chkUseProxy");  // on, off, on: the fields follow it
  click("chkUseProxy");
  EXPECT_FALSE(in("txtAddress")->isEnabled() || in<QWidget>("Frame3")->isEnabled());
  click("chkUseProxy");
  in("txtAddress")->setText("127.0.0.1");
  in("txtPort")->setText("3128");
  in<QPlainTextEdit>("txtAddresses")->setPlainText("a;b");
  in<QCheckBox>("chkBypass")->setChecked(true);
  click("cmdApply");
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].title + ": " + messages.messages()[0].text,
            "Proxy Settings: Proxy settings enabled.");
  EXPECT_EQ(messages.messages()[0].icon, QMessageBox::Information);
  const QString set = "3 http=127.0.0.1:3128 | a b <local>";
  EXPECT_EQ(layer(), set);
  EXPECT_EQ(in<QPlainTextEdit>("txtAddresses")->toPlainText(), "a;b");  // read back whole
  EXPECT_EQ(stored("port"), "3128");
  EXPECT_EQ(QNetworkProxy::applicationProxy(),
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 3128));

  // OK takes the Http row as it stands, not the newly typed values, which it stores.
  in("txtAddress")->setText("typed.later");
  click("cmdOK");
  EXPECT_EQ(layer(), set);
  EXPECT_EQ(stored("use"), "true");
  open();
  EXPECT_EQ(in("txtAddress")->text(), "typed.later");

  ASSERT_TRUE(setLayer(platform::INTERNET_OPEN_TYPE_DIRECT, "http=127.0.0.1:3128"));
  EXPECT_EQ(QNetworkProxy::applicationProxy().type(), QNetworkProxy::NoProxy);
  qunsetenv("http_proxy");
}

TEST_F(ProxyDialog, OpensOnTheLayersProxyAndRefusesAnEntryTheEngineCannotUse) {
  ASSERT_TRUE(
      setLayer(platform::INTERNET_OPEN_TYPE_PROXY, "socks=s:1 http=127.0.0.1:3128", "x <local>"));
  open();
  EXPECT_TRUE(in<QCheckBox>("chkUseProxy")->isChecked() && in<QCheckBox>("chkBypass")->isChecked());
  EXPECT_EQ(in("txtSocks")->text() + in<QPlainTextEdit>("txtAddresses")->toPlainText(), "sx");
  // What a space typed into Address or Port, or a port that is no number, makes.
  for (const char* entry :
       {"proxy.example |3128", "a| 3128", "proxy example|3128", "a|http", "a|0"}) {
    in("txtAddress")->setText(QString(entry).section(u'|', 0, 0));
    in("txtPort")->setText(QString(entry).section(u'|', 1));
    click("cmdApply");
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.messages().back().text, "Unable to set proxy.") << entry;
    EXPECT_EQ(messages.messages().back().icon, QMessageBox::Warning);
    EXPECT_EQ(layer(), "3 socks=s:1 http=127.0.0.1:3128 | x <local>");
    EXPECT_EQ(in("txtHttpPort")->text(), "3128");  // read back from the layer
  }
}

TEST_F(ProxyDialog, ReturnPressesTheFocusedButtonAndOkOnlyWhenNoButtonHasTheFocus) {
  open();
  click("chkUseProxy");
  in("txtAddress")->setText("127.0.0.1");
  in("txtPort")->setText("8118");
  pressReturnOn("cmdApply");
  ASSERT_TRUE(waitUntil([&] { return messages.messages().size() == 1; }));
  EXPECT_EQ(stored("port"), "(absent)");  // stored only beside an exception text

  pressReturnOn("cmdSetProxyInfo");
  ASSERT_TRUE(waitUntil([&] { return !d->isVisible(); }));
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_EQ(stored("use"), "(absent)");
  EXPECT_EQ(layer(), "3 http=127.0.0.1:8118 | ");  // Apply's configuration stays

  open();
  pressReturnOn("txtPort");
  ASSERT_TRUE(waitUntil([&] { return !d->isVisible(); }));
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(messages.messages().size(), 2u);
}

}  // namespace
