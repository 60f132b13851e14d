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
#include <QtNetwork>
#include <QtWidgets>

#include <cstring>
#include <memory>

namespace {

const QString kApp = QStringLiteral("Hushleaf Browser");

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
  void type(const char* address, const char* port) {
    in("txtAddress")->setText(address);
    in("txtPort")->setText(port);
  }
  // A real key press from the X server, as a keyboard makes it, on the control named.
  void pressReturnOn(const char* name) {
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    in<QWidget>(name)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(testsupport::waitUntil([&] { return in<QWidget>(name)->hasFocus(); }));
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "Return"}), 0);
  }
  // What the program holds: the layer's configuration, the engine's proxy, the stored
  // address, port and use, and the last message ("i" information, "!" exclamation).
  [[nodiscard]] QString state() const {
    alignas(platform::INTERNET_PROXY_INFO) char buffer[4096] = {};
    std::uint32_t length = sizeof buffer;
    platform::InternetQueryOptionA(nullptr, platform::INTERNET_OPTION_PROXY, buffer, &length);
    platform::INTERNET_PROXY_INFO r{};
    std::memcpy(&r, buffer, sizeof r);
    const QNetworkProxy engine = QNetworkProxy::applicationProxy();
    QStringList s = {
        QStringLiteral("%1 %2 | %3").arg(r.dwAccessType).arg(r.lpszProxy, r.lpszProxyBypass),
        engine.type() == QNetworkProxy::NoProxy
            ? "direct"
            : engine.hostName() + ":" + QString::number(engine.port())};
    for (const char* key : {"address", "port", "use"}) {
      s << platform::GetSetting(kApp, "proxy", key, "-");
    }
    for (const auto& m : messages.messages()) {
      s << (m.icon == QMessageBox::Information ? "i " : "! ") + m.title + ": " + m.text;
    }
    return s.join(" / ");
  }

  std::unique_ptr<proxy::frmProxyTest> d;
  // Answers the message boxes with OK; the dialog itself, modal too, is left to the test.
  testsupport::ModalWatcher messages{[](QWidget* modal) {
    if (qobject_cast<QMessageBox*>(modal) != nullptr) {
      testsupport::ModalWatcher::dismiss(modal);
    }
  }};
};

TEST_F(ProxyDialog, ApplyAndOkSetTheProxyAndStoreTheFieldsAndABadEntryChangesNothing) {
  EXPECT_EQ(state(), "1  |  / direct / - / - / -");  // never a proxy from the environment
  open();
  click("chkUseProxy");
  type("127.0.0.1", "3128");
  in<QPlainTextEdit>("txtAddresses")->setPlainText("a;b");
  in<QCheckBox>("chkBypass")->setChecked(true);
  click("cmdApply");
  const QString set = "3 http=127.0.0.1:3128 | a b <local> / 127.0.0.1:3128 / ";
  const QString enabled = " / i Proxy Settings: Proxy settings enabled.";
  EXPECT_EQ(state(), set + "127.0.0.1 / 3128 / -" + enabled);
  EXPECT_EQ(in<QPlainTextEdit>("txtAddresses")->toPlainText(), "a;b");  // read back whole
  // OK takes the Http row as it stands, not the newly typed address, which it stores.
  in("txtAddress")->setText("typed.later");
  click("cmdOK");
  EXPECT_EQ(state(), set + "typed.later / 3128 / true" + enabled + enabled);
  // Opening again shows what the layer holds, and the address stored.
  open();
  EXPECT_TRUE(in<QCheckBox>("chkUseProxy")->isChecked() && in("txtSocks")->isEnabled() &&
              in<QWidget>("Frame3")->isEnabled() && in<QCheckBox>("chkBypass")->isChecked());
  EXPECT_EQ(in("txtAddress")->text() + " " + in("txtHttp")->text(), "typed.later 127.0.0.1");
  // A space typed into Port makes an entry the engine cannot use: refused, and what is in
  // force stays, shown again in the dialog.
  type("127.0.0.1", " 8080");
  click("cmdApply");
  EXPECT_EQ(state(), set + "127.0.0.1 /  8080 / true" + enabled + enabled +
                         " / ! Proxy Settings: Unable to set proxy.");
  EXPECT_EQ(in("txtHttpPort")->text(), "3128");
  click("chkUseProxy");  // off: direct, whatever the rows hold
  click("cmdApply");
  EXPECT_EQ(state().section(" / ", 0, 1), "1 http=127.0.0.1: 8080 | a b <local> / direct");
}

TEST_F(ProxyDialog, ReturnPressesTheFocusedButtonAndOkOnlyWhenNoButtonHasTheFocus) {
  open();
  click("chkUseProxy");
  type("127.0.0.1", "8118");
  pressReturnOn("cmdApply");  // without an exception text Address and Port are not stored
  const QString applied = "3 http=127.0.0.1:8118 |  / 127.0.0.1:8118 / - / - / -";
  const QString enabled = " / i Proxy Settings: Proxy settings enabled.";
  ASSERT_TRUE(testsupport::waitUntil([&] { return state() == applied + enabled; }));
  pressReturnOn("cmdSetProxyInfo");  // Cancel: nothing applied or stored; Apply's stays
  ASSERT_TRUE(testsupport::waitUntil([&] { return !d->isVisible(); }));
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_EQ(state(), applied + enabled);
  open();
  pressReturnOn("txtPort");
  ASSERT_TRUE(testsupport::waitUntil([&] { return !d->isVisible(); }));
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(state(), applied.chopped(1) + "true" + enabled + enabled);
}

}  // namespace
