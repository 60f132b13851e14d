// The proxy settings dialog under Xvfb: what it shows from the internet layer, what Apply
// and OK set, and the settings file it writes in the temporary HOME.
#include "proxy/frm_proxy_test.h"
#include "browser/engine_profile.h"
#include "platform/app_title.h"
#include "platform/internet_layer.h"
#include "platform/settings_store.h"
#include "proxy/message_box_watcher.h"
#include "support/wait.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <unistd.h>
#include <cstring>
#include <memory>

using proxy::frmProxyTest;
using proxytest::MessageBoxWatcher;

namespace {

const QString kApp = QStringLiteral("Hushleaf Browser");

struct Config {
  std::uint32_t accessType = 0;
  QString proxy;
  QString bypass;
};

Config layerConfig() {
  alignas(platform::INTERNET_PROXY_INFO) char buffer[4096] = {};
  std::uint32_t length = sizeof buffer;
  platform::InternetQueryOptionA(nullptr, platform::INTERNET_OPTION_PROXY, buffer, &length);
  platform::INTERNET_PROXY_INFO record{};
  std::memcpy(&record, buffer, sizeof record);
  return {record.dwAccessType, QString::fromUtf8(record.lpszProxy),
          QString::fromUtf8(record.lpszProxyBypass)};
}

void setLayer(std::uint32_t type, const char* proxyList, const char* bypassList) {
  const platform::INTERNET_PROXY_INFO record{type, proxyList, bypassList};
  ASSERT_TRUE(platform::InternetSetOptionA(nullptr, platform::INTERNET_OPTION_PROXY, &record,
                                           sizeof record));
}

QString stored(const char* key) {
  QSettings file(platform::settingsFilePath(kApp), QSettings::IniFormat);
  return file.value(QStringLiteral("proxy/") + key, QStringLiteral("(absent)")).toString();
}

// Its own flag, whatever its group says.
bool ownEnabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

class ProxyDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::AppTitle::set(kApp);
    platform::initInternetLayer(&browser::sharedProfile);
    QFile::remove(platform::settingsFilePath(kApp));
  }

  std::unique_ptr<frmProxyTest> open() {
    auto dialog = std::make_unique<frmProxyTest>();
    dialog->show();
    testsupport::waitUntil([&] { return dialog->isVisible(); }, 3000);
    return dialog;
  }

  static std::vector<QWidget*> textBoxes(frmProxyTest& d) {
    return {d.txtAddress,    d.txtPort,      d.txtHttp,     d.txtHttpPort, d.txtSecure,
            d.txtSecurePort, d.txtFtp,       d.txtFtpPort,  d.txtGopher,   d.txtGopherPort,
            d.txtSocks,      d.txtSocksPort, d.txtAddresses};
  }

  MessageBoxWatcher messages;
};

TEST_F(ProxyDialog, OpensOnADirectConnectionWithStoredAddressAndPort) {
  platform::SaveSetting(kApp, "proxy", "address", "stored.host");
  platform::SaveSetting(kApp, "proxy", "port", "3128");
  auto d = open();
  EXPECT_EQ(d->windowTitle(), "Proxy Settings");
  EXPECT_EQ(d->size(), QSize(331, 123));
  EXPECT_EQ(d->minimumSize(), d->maximumSize());
  EXPECT_FALSE(d->chkUseProxy->isChecked());
  EXPECT_EQ(d->txtAddress->text(), "stored.host");
  EXPECT_EQ(d->txtPort->text(), "3128");
  for (QWidget* box : textBoxes(*d)) {
    EXPECT_TRUE(ownEnabled(box)) << box->objectName().toStdString();
  }
  EXPECT_EQ(d->txtHttp->text(), "");
  EXPECT_EQ(d->txtAddresses->toPlainText(), "");
  EXPECT_FALSE(d->Frame2->isEnabled());
  EXPECT_FALSE(d->Frame3->isEnabled());
  EXPECT_FALSE(d->chkBypass->isEnabled());
  EXPECT_TRUE(d->cmdOK->isDefault());
  // Centred on the screen.
  const QPoint centre = d->screen()->geometry().center();
  EXPECT_LE((d->frameGeometry().center() - centre).manhattanLength(), 4);
  // Every control a user or a screen reader can meet has a name.
  for (QWidget* w : d->findChildren<QWidget*>()) {
    if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
      EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
  }
  EXPECT_EQ(d->Label16->text(), "Do &not use proxy server for addresses beginning with:");
  EXPECT_EQ(d->Label17->text(), "Use semicolons ( ; ) to separate entries.");
  EXPECT_EQ(d->Label10->text(), "So&cks:");
}

TEST_F(ProxyDialog, OpensOnAProxyConfigurationWithEverythingFilledAndEnabled) {
  setLayer(platform::INTERNET_OPEN_TYPE_PROXY,
           "socks=s.example:1080 https=beta:443 http=alpha:8080 gopher=g:70 ftp=f:21",
           "one two <local>");
  auto d = open();
  EXPECT_TRUE(d->chkUseProxy->isChecked());
  EXPECT_EQ(d->txtHttp->text(), "alpha");
  EXPECT_EQ(d->txtHttpPort->text(), "8080");
  EXPECT_EQ(d->txtSecure->text(), "beta");
  EXPECT_EQ(d->txtSecurePort->text(), "443");
  EXPECT_EQ(d->txtFtp->text(), "f");
  EXPECT_EQ(d->txtGopherPort->text(), "70");
  EXPECT_EQ(d->txtSocks->text(), "s.example");
  EXPECT_EQ(d->txtAddresses->toPlainText(), "one;two");
  EXPECT_TRUE(d->chkBypass->isChecked());
  EXPECT_TRUE(d->Frame2->isEnabled());
  EXPECT_TRUE(d->Frame3->isEnabled());
  EXPECT_TRUE(d->chkBypass->isEnabled());
  EXPECT_TRUE(d->chkUseSame->isEnabled());
  for (QWidget* box : textBoxes(*d)) {
    EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
  }
}

TEST_F(ProxyDialog, ApplyWithTheProxyUncheckedSetsDirectAndReportsSuccess) {
  auto d = open();
  d->txtAddress->setText("127.0.0.1");
  d->txtPort->setText("3128");
  QTest::mouseClick(d->cmdApply, Qt::LeftButton);
  ASSERT_EQ(messages.seen().size(), 1u);
  EXPECT_EQ(messages.seen()[0].text, "Proxy settings enabled.");
  EXPECT_EQ(messages.seen()[0].title, "Proxy Settings");
  EXPECT_EQ(messages.seen()[0].icon, QMessageBox::Information);
  const Config c = layerConfig();
  EXPECT_EQ(c.accessType, platform::INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(c.proxy, "http=127.0.0.1:3128");
  EXPECT_EQ(d->txtHttp->text(), "127.0.0.1");
  // An empty exception text: nothing stored.
  EXPECT_EQ(stored("address"), "(absent)");
  EXPECT_EQ(stored("port"), "(absent)");
}

TEST_F(ProxyDialog, ApplyThenOkSetTheProxyAndTheNextOpeningReadsTheStoredValues) {
  {
    auto d = open();
    QTest::mouseClick(d->chkUseProxy, Qt::LeftButton);
    ASSERT_TRUE(d->chkUseProxy->isChecked());
    EXPECT_TRUE(d->Frame2->isEnabled());
    d->txtAddress->setText("127.0.0.1");
    d->txtPort->setText("3128");
    d->txtAddresses->setPlainText("a;b");
    d->chkBypass->setChecked(true);
    QTest::mouseClick(d->cmdApply, Qt::LeftButton);
    ASSERT_EQ(messages.seen().size(), 1u);
    EXPECT_EQ(messages.seen()[0].text, "Proxy settings enabled.");
    const Config c = layerConfig();
    EXPECT_EQ(c.accessType, platform::INTERNET_OPEN_TYPE_PROXY);
    EXPECT_EQ(c.proxy, "http=127.0.0.1:3128");
    EXPECT_EQ(c.bypass, "a b <local>");
    EXPECT_EQ(QNetworkProxy::applicationProxy().port(), 3128);
    // Read back: the first exception survives.
    EXPECT_EQ(d->txtAddresses->toPlainText(), "a;b");
    EXPECT_EQ(stored("address"), "127.0.0.1");
    EXPECT_EQ(stored("port"), "3128");

    // OK takes the Http row as it stands, not newly typed values.
    d->txtAddress->setText("typed.later");
    d->txtPort->setText("9999");
    QTest::mouseClick(d->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(layerConfig().proxy, "http=127.0.0.1:3128");
    EXPECT_EQ(stored("use"), "true");
    EXPECT_EQ(stored("address"), "typed.later");  // the exception text is non-empty
  }
  auto again = open();
  EXPECT_EQ(again->txtAddress->text(), "typed.later");
  EXPECT_EQ(again->txtPort->text(), "9999");
  EXPECT_TRUE(again->chkUseProxy->isChecked());
  EXPECT_EQ(again->txtHttp->text(), "127.0.0.1");
}

TEST_F(ProxyDialog, FailureIsReportedAndTheDialogStillReadsBack) {
  setLayer(platform::INTERNET_OPEN_TYPE_PROXY, "http=127.0.0.1:3128", "");
  auto d = open();
  d->txtAddress->setText("127.0.0.1");
  d->txtPort->setText("not-a-port");
  QTest::mouseClick(d->cmdApply, Qt::LeftButton);
  ASSERT_EQ(messages.seen().size(), 1u);
  EXPECT_EQ(messages.seen()[0].text, "Unable to set proxy.");
  EXPECT_EQ(messages.seen()[0].icon, QMessageBox::Warning);
  EXPECT_EQ(messages.seen()[0].title, "Proxy Settings");
  EXPECT_EQ(layerConfig().proxy, "http=127.0.0.1:3128");
  EXPECT_EQ(d->txtHttpPort->text(), "3128");  // read back from the layer

  // OK after a failure still stores "use" and closes.
  d->txtHttpPort->setText("bad");
  QTest::mouseClick(d->cmdOK, Qt::LeftButton);
  EXPECT_EQ(messages.seen().size(), 2u);
  EXPECT_EQ(stored("use"), "true");
  EXPECT_FALSE(d->isVisible());
}

TEST_F(ProxyDialog, SameServerCopiesTheHttpRowAndDisablesTheOthers) {
  setLayer(platform::INTERNET_OPEN_TYPE_PROXY, "http=127.0.0.1:3128 ftp=f:21", "");
  auto d = open();
  d->chkUseSame->click();
  EXPECT_EQ(d->txtAddress->text(), "127.0.0.1");
  EXPECT_EQ(d->txtPort->text(), "3128");
  for (QWidget* w : {static_cast<QWidget*>(d->txtSecure), static_cast<QWidget*>(d->txtFtpPort),
                     static_cast<QWidget*>(d->txtSocks), static_cast<QWidget*>(d->txtGopher)}) {
    EXPECT_FALSE(w->isEnabled());
  }
  EXPECT_TRUE(d->txtHttp->isEnabled());
  EXPECT_TRUE(d->Label8->isEnabled());
  // Disabled rows still go into the list.
  QTest::mouseClick(d->cmdOK, Qt::LeftButton);
  EXPECT_EQ(layerConfig().proxy, "http=127.0.0.1:3128 ftp=f:21");

  auto e = open();
  e->chkUseSame->click();
  ASSERT_FALSE(e->txtSecure->isEnabled());
  // The proxy box's rule enables them again while "same" stays checked.
  e->chkUseProxy->click();  // off
  e->chkUseProxy->click();  // on
  EXPECT_TRUE(e->txtSecure->isEnabled());
  EXPECT_TRUE(e->chkUseSame->isChecked());
  e->chkUseSame->click();  // unchecked: Address and Port emptied
  EXPECT_EQ(e->txtAddress->text(), "");
  EXPECT_EQ(e->txtPort->text(), "");
}

TEST_F(ProxyDialog, CancelAfterApplyKeepsTheConfigurationAndStoresNoUse) {
  auto d = open();
  d->chkUseProxy->click();
  d->txtAddress->setText("127.0.0.1");
  d->txtPort->setText("8118");
  QTest::mouseClick(d->cmdApply, Qt::LeftButton);
  QTest::mouseClick(d->cmdSetProxyInfo, Qt::LeftButton);
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_EQ(layerConfig().accessType, platform::INTERNET_OPEN_TYPE_PROXY);
  EXPECT_EQ(layerConfig().proxy, "http=127.0.0.1:8118");
  EXPECT_EQ(stored("use"), "(absent)");
}

TEST_F(ProxyDialog, ValuesSavedWhileTheTitleIsEmptyAreReadBackUnderTheTitle) {
  platform::AppTitle::set(QString());
  {
    auto d = open();
    d->txtAddress->setText("hidden.host");
    d->txtPort->setText("1");
    d->txtAddresses->setPlainText("x");
    QTest::mouseClick(d->cmdOK, Qt::LeftButton);
  }
  EXPECT_EQ(stored("use"), "false");
  platform::AppTitle::set(kApp);
  auto d = open();
  EXPECT_EQ(d->txtAddress->text(), "hidden.host");
}

TEST_F(ProxyDialog, OpensModallyFromTheCommand) {
  bool sawModal = false;
  QTimer::singleShot(0, [&] {
    testsupport::waitUntil([] { return QApplication::activeModalWidget() != nullptr; }, 5000);
    auto* d = qobject_cast<frmProxyTest*>(QApplication::activeModalWidget());
    if (d != nullptr) {
      sawModal = d->windowModality() == Qt::ApplicationModal;
      QTest::keyClick(d, Qt::Key_Escape);
    }
  });
  proxy::showProxyDialog(nullptr);
  EXPECT_TRUE(sawModal);
  EXPECT_EQ(stored("use"), "(absent)");
}

// ---- The settings file going wrong under the dialog ----

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// OK with the proxy on: the dialog sets the layer, reports it, stores "use" and closes.
void useProxyAndOk(frmProxyTest& d, MessageBoxWatcher& messages) {
  if (!d.chkUseProxy->isChecked()) {
    d.chkUseProxy->click();
  }
  d.txtHttp->setText("127.0.0.1");
  d.txtHttpPort->setText("3128");
  QTest::mouseClick(d.cmdOK, Qt::LeftButton);
  ASSERT_EQ(messages.seen().size(), 1u);
  EXPECT_EQ(messages.seen()[0].text, "Proxy settings enabled.");
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(layerConfig().proxy, "http=127.0.0.1:3128");
}

TEST_F(ProxyDialog, ACorruptSettingsFileShowsDefaultsAndIsKeptBesideTheNewOne) {
  const QString path = platform::settingsFilePath(kApp);
  QFile::remove(path + ".bad");
  static const char raw[] = "\x00\x01\x02garbage\xff\xfe\n[proxy\naddress\n=\n";
  const QByteArray garbage(raw, sizeof raw - 1);
  writeBytes(path, garbage);
  {
    auto d = open();
    EXPECT_EQ(d->txtAddress->text(), "");
    EXPECT_EQ(d->txtPort->text(), "");
    useProxyAndOk(*d, messages);
  }
  EXPECT_EQ(stored("use"), "true");
  EXPECT_EQ(fileBytes(path + ".bad"), garbage);
  // Set aside once only: the new file is sound.
  EXPECT_TRUE(platform::SaveSetting(kApp, "proxy", "port", "1"));
  EXPECT_FALSE(QFileInfo::exists(path + ".bad2"));
  QFile::remove(path + ".bad");
}

TEST_F(ProxyDialog, ASettingsFileThatCannotBeReadIsLeftAloneAndTheDialogStillWorks) {
  const QString path = platform::settingsFilePath(kApp);
  // A folder where the file should be cannot be read as one, by root either.
  ASSERT_TRUE(QDir().mkpath(path));
  writeBytes(path + "/inside", "kept");
  EXPECT_EQ(platform::GetSetting(kApp, "proxy", "address", "fallback"), "fallback");
  EXPECT_FALSE(platform::SaveSetting(kApp, "proxy", "address", "x"));
  {
    auto d = open();
    EXPECT_EQ(d->txtAddress->text(), "");
    useProxyAndOk(*d, messages);
  }
  EXPECT_EQ(fileBytes(path + "/inside"), "kept");
  EXPECT_EQ(QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"inside"});
  QDir(path).removeRecursively();

  if (geteuid() != 0) {  // root reads every file
    writeBytes(path, "[proxy]\naddress=secret.host\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    EXPECT_EQ(platform::GetSetting(kApp, "proxy", "address", "fallback"), "fallback");
    EXPECT_FALSE(platform::SaveSetting(kApp, "proxy", "address", "x"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(fileBytes(path), "[proxy]\naddress=secret.host\n");
  }
}

TEST_F(ProxyDialog, ASettingsFolderThatCannotBeWrittenKeepsTheOldValues) {
  const QString path = platform::settingsFilePath(kApp);
  writeBytes(path, "[proxy]\naddress=old.host\nport=81\n");
  const QString folder = QFileInfo(path).absolutePath();
  // Root writes into read-only folders; a config folder that is not a folder stops
  // everyone.
  const QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
  const QString notAFolder = folder + "/not-a-folder";
  writeBytes(notAFolder, "x");
  qputenv("XDG_CONFIG_HOME", (notAFolder + "/config").toUtf8());
  EXPECT_FALSE(platform::SaveSetting(kApp, "proxy", "use", "true"));
  {
    auto d = open();
    useProxyAndOk(*d, messages);
  }
  if (oldConfigHome.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", oldConfigHome);
  }
  QFile::remove(notAFolder);
  ASSERT_EQ(platform::settingsFilePath(kApp), path);
  EXPECT_EQ(fileBytes(path), "[proxy]\naddress=old.host\nport=81\n");

  if (geteuid() != 0) {
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    messages.clear();
    {
      auto d = open();
      EXPECT_EQ(d->txtAddress->text(), "old.host");
      useProxyAndOk(*d, messages);
    }
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(fileBytes(path), "[proxy]\naddress=old.host\nport=81\n");
  }
}

}  // namespace
