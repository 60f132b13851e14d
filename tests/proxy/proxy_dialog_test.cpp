// The proxy dialog wired to the program's proxy, the settings store, the message box and
// the engine's proxy, under Xvfb. The journey shows a page coming through the proxy.
#include "platform/app_title.h"
#include "platform/settings_store.h"
#include "proxy/engine_proxy.h"
#include "proxy/proxy_settings_dialog.h"
#include "support/modal.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QtNetwork>
#include <QtWidgets>

#include <memory>

namespace {

const QString kApp = QStringLiteral("Hushleaf Browser");

// What the program holds: the proxy in force, the engine's proxy, and the stored address,
// port and use.
QString state() {
  const proxy::ProxySettings& r = proxy::proxySettings();
  const QNetworkProxy engine = QNetworkProxy::applicationProxy();
  QStringList s = {
      QStringLiteral("%1 %2 | %3").arg(r.useProxy ? "on" : "off", r.proxyList, r.bypassList),
      engine.type() == QNetworkProxy::NoProxy
          ? "direct"
          : engine.hostName() + ":" + QString::number(engine.port())};
  for (const char* key : {"address", "port", "use"}) {
    s << platform::readSetting(kApp, "proxy", key, "-");
  }
  return s.join(" / ");
}

TEST(ProxyDialog, ApplyOkCancelAndReturnSetAndStoreWhatTheUserAsked) {
  platform::AppTitle::set(kApp);
  proxy::initEngineProxy();
  EXPECT_EQ(state(), "off  |  / direct / - / - / -");  // direct until the user sets a proxy
  // Message boxes are answered with OK; what they said is kept, with (i)nformation or (!).
  QStringList said;
  testsupport::ModalWatcher messages([&](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      const auto icon = box->icon();
      said << box->windowTitle() + ": " + box->text() +
                  (icon == QMessageBox::Information ? " (i)"
                   : icon == QMessageBox::Warning   ? " (!)"
                                                    : "");
      testsupport::ModalWatcher::dismiss(box);
    }
  });
  const QString enabled = "Proxy Settings: Proxy settings enabled. (i)";
  std::unique_ptr<proxy::ProxySettingsDialog> d;
  const auto open = [&] {
    d = std::make_unique<proxy::ProxySettingsDialog>();
    d->show();
    return QTest::qWaitForWindowExposed(d.get());
  };
  const auto in = [&](const char* name) { return d->findChild<QWidget*>(name); };
  const auto text = [&](const char* name, const QString& value) {
    static_cast<QLineEdit*>(in(name))->setText(value);
  };
  const auto click = [&](const char* name) { QTest::mouseClick(in(name), Qt::LeftButton); };
  // The per-protocol rows, the exceptions and their check boxes are not on screen.
  const auto toggle = [&](const char* name) { static_cast<QAbstractButton*>(in(name))->click(); };
  // A real key press from the X server, as a keyboard makes it, where the focus is.
  const auto pressReturnOn = [&](const char* name) {
    d->activateWindow();
    in(name)->setFocus(Qt::TabFocusReason);
    ASSERT_EVENTUALLY_EQ(in(name)->hasFocus(), true);
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "Return"}), 0);
  };

  ASSERT_TRUE(open());
  click("chkUseProxy");
  text("txtAddress", "127.0.0.1");
  text("txtPort", "8118");
  pressReturnOn("cmdApply");  // without an exception text Address and Port are not stored
  const QString applied = "on http=127.0.0.1:8118 |  / 127.0.0.1:8118 / - / - / ";
  ASSERT_EVENTUALLY_EQ(said, QStringList{enabled});
  pressReturnOn("cmdSetProxyInfo");  // Cancel: nothing applied or stored; Apply's stays
  ASSERT_EVENTUALLY_EQ(d->isHidden(), true);
  EXPECT_EQ(state(), applied + "-");
  ASSERT_TRUE(open());
  pressReturnOn("txtPort");  // no button has the focus: OK
  ASSERT_EVENTUALLY_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(state(), applied + "true");
  EXPECT_EQ(said.size(), 2);

  ASSERT_TRUE(open());
  text("txtAddress", "127.0.0.1");
  text("txtPort", "3128");
  static_cast<QPlainTextEdit*>(in("txtAddresses"))->setPlainText("a;b");
  toggle("chkBypass");
  click("cmdApply");
  ASSERT_EVENTUALLY_EQ(said.size(), 3);
  const QString set = "on http=127.0.0.1:3128 | a b <local> / 127.0.0.1:3128 / ";
  EXPECT_EQ(state(), set + "127.0.0.1 / 3128 / true");
  // OK takes the Http row as it stands (and the exceptions as read back), not the newly
  // typed address, which it stores.
  text("txtAddress", "typed.later");
  click("cmdOK");
  // The dialog closes once its message has been read.
  ASSERT_EVENTUALLY_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(said.size(), 4);
  EXPECT_EQ(state(), set + "typed.later / 3128 / true");
  // Opening again shows what is in force, and the address stored (stored again here).
  ASSERT_TRUE(open());
  EXPECT_TRUE(in("txtSocks")->isEnabled() && in("Frame3")->isEnabled() &&
              d->findChild<QCheckBox*>("chkBypass")->isChecked());
  // The same server for all: Address and Port follow the Http row and the other rows are
  // shut; unchecked, both are emptied and the rows open again.
  const auto fields = [&] {
    return (static_cast<QLineEdit*>(in("txtAddress"))->text() + ":" +
            static_cast<QLineEdit*>(in("txtPort"))->text() +
            (in("txtFtpPort")->isEnabled() ? "+" : "-"))
        .toStdString();
  };
  toggle("chkUseSame");
  EXPECT_EQ(fields(), "127.0.0.1:3128-");
  toggle("chkUseSame");
  EXPECT_EQ(fields(), ":+");
  text("txtAddress", "typed.later");
  // A space typed into Port makes an entry the engine cannot use: refused, and what is in
  // force stays, shown again in the dialog.
  text("txtPort", " 8080");
  click("cmdApply");
  EXPECT_EVENTUALLY_EQ(said.mid(2),
                       (QStringList{enabled, enabled, "Proxy Settings: Unable to set proxy. (!)"}));
  EXPECT_EQ(state(), set + "typed.later /  8080 / true");
  EXPECT_EQ(d->findChild<QLineEdit*>("txtHttpPort")->text(), "3128");
  click("chkUseProxy");  // off: direct, whatever the rows hold
  click("cmdApply");
  EXPECT_EQ(state().section(" / ", 0, 1), "off http=typed.later: 8080 | a b <local> / direct");
}

}  // namespace
