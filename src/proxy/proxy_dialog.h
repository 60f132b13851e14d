#pragma once

#include "proxy/proxy_form.h"

#include <QDialog>

#include <array>
#include <vector>

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
// sets a new one on Apply or OK. Controls carry, as object names, the names the behaviour
// is described with ("txtHttp", "cmdOK", ...).
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

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The controls of one protocol row.
  struct Row {
    QLabel* caption = nullptr;
    QLineEdit* host = nullptr;
    QLabel* colon = nullptr;
    QLineEdit* port = nullptr;
  };

  void Form_Load();
  void ApplySettings();
  void chkUseProxy_Click();
  void chkUseSame_Click();
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdSetProxyInfo_Click();

  void buildControls();
  [[nodiscard]] Row& row(ProxyProtocol protocol);
  [[nodiscard]] const Row& row(ProxyProtocol protocol) const;
  [[nodiscard]] ProxyFormFields fields() const;
  void showFields(const ProxyFormFields& fields);

  QGroupBox* Frame1 = nullptr;
  QCheckBox* chkUseProxy = nullptr;
  QLineEdit* txtAddress = nullptr;
  QLineEdit* txtPort = nullptr;
  QCheckBox* chkBypass = nullptr;
  QPushButton* cmdApply = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdSetProxyInfo = nullptr;
  QGroupBox* Frame2 = nullptr;
  QCheckBox* chkUseSame = nullptr;
  QGroupBox* Frame3 = nullptr;
  QPlainTextEdit* txtAddresses = nullptr;

  std::array<Row, kProxyProtocolCount> m_rows{};  // indexed by ProxyProtocol
  // Every label and text box: what "Use a proxy server" enables and disables.
  std::vector<QWidget*> m_followUseProxy;
};

}  // namespace proxy
