#pragma once

#include "proxy/proxy_form.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace proxy {

// Opens the proxy settings dialog modally and returns when it has closed. The owner only
// chooses the screen: the dialog blocks every window of the program while it is open.
void showProxyDialog(QWidget* owner);

// The proxy settings dialog: reads the internet layer's configuration when it opens and
// sets a new one on Apply or OK. Controls keep the names the behaviour is described with.
class frmProxyTest : public QDialog {
  Q_OBJECT

 public:
  explicit frmProxyTest(QWidget* parent = nullptr);
  ~frmProxyTest() override;
  frmProxyTest(const frmProxyTest&) = delete;
  frmProxyTest& operator=(const frmProxyTest&) = delete;

  // Reads the internet layer's configuration into the dialog.
  void RefreshSettings();

  // The application name the settings are stored under (the application title).
  [[nodiscard]] static QString settingsApplication();

  QGroupBox* Frame1 = nullptr;
  QCheckBox* chkUseProxy = nullptr;
  QLabel* lblAddress = nullptr;
  QLineEdit* txtAddress = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* txtPort = nullptr;
  QCheckBox* chkBypass = nullptr;
  QPushButton* cmdApply = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdSetProxyInfo = nullptr;

  QGroupBox* Frame2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* Label15 = nullptr;
  QLineEdit* txtHttp = nullptr;
  QLineEdit* txtHttpPort = nullptr;
  QLineEdit* txtSecure = nullptr;
  QLineEdit* txtSecurePort = nullptr;
  QLineEdit* txtFtp = nullptr;
  QLineEdit* txtFtpPort = nullptr;
  QLineEdit* txtGopher = nullptr;
  QLineEdit* txtGopherPort = nullptr;
  QLineEdit* txtSocks = nullptr;
  QLineEdit* txtSocksPort = nullptr;
  QCheckBox* chkUseSame = nullptr;
  QLabel* Image1 = nullptr;

  QGroupBox* Frame3 = nullptr;
  QLabel* Label16 = nullptr;
  QPlainTextEdit* txtAddresses = nullptr;
  QLabel* Label17 = nullptr;
  QLabel* Image2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load();
  void ApplySettings();
  void chkUseProxy_Click();
  void chkUseSame_Click();
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdSetProxyInfo_Click();

  void buildControls();
  [[nodiscard]] ProxyFormFields fields() const;
  void showFields(const ProxyFormFields& fields);
  [[nodiscard]] QLineEdit* hostBox(ProxyProtocol protocol) const;
  [[nodiscard]] QLineEdit* portBox(ProxyProtocol protocol) const;
};

}  // namespace proxy
