#pragma once

#include "proxy/proxy_form.h"

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace proxy {

// Opens the proxy settings dialog and returns at once; the dialog blocks every window of
// the program until it closes. The owner only chooses the screen.
void showProxySettingsDialog(QWidget* owner);

// Shows the running program's proxy when it opens and sets a new one on Apply or OK,
// keeping the typed address and port and the on/off state in the settings store. Its
// controls carry the object names tests and assistive tools find ("txtHttp", "cmdOK"...).
class ProxySettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ProxySettingsDialog(QWidget* parent = nullptr);
  ~ProxySettingsDialog() override;
  ProxySettingsDialog(const ProxySettingsDialog&) = delete;
  ProxySettingsDialog& operator=(const ProxySettingsDialog&) = delete;

  // Shows the proxy in force in the dialog.
  void refresh();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Row {
    QLineEdit* host = nullptr;
    QLineEdit* port = nullptr;
  };

  void buildControls();
  // A label or text box that follows "Use a proxy server".
  QLabel* label(const QString& caption, QWidget* parent, const char* objectName);
  QLineEdit* box(QWidget* parent, const char* objectName, const QString& spoken);
  QWidget* buildServersAndExceptions();
  void loadStoredAddress();
  // Sets the proxy from the fields and says how it went; `then` runs once the user has
  // closed the message.
  void applySettings(const std::function<void()>& then = {});
  void updateEnabledFromUseProxy();
  void applySameServerRule();
  void applyAndRefresh();
  void applyAndClose();

  [[nodiscard]] Row& row(ProxyProtocol protocol);
  [[nodiscard]] const Row& row(ProxyProtocol protocol) const;
  [[nodiscard]] ProxyFormFields fields() const;
  void showFields(const ProxyFormFields& fields);

  QCheckBox* m_useProxy = nullptr;
  QLineEdit* m_address = nullptr;
  QLineEdit* m_port = nullptr;
  QCheckBox* m_bypassLocal = nullptr;
  QGroupBox* m_serversGroup = nullptr;
  QCheckBox* m_useSameServer = nullptr;
  QGroupBox* m_exceptionsGroup = nullptr;
  QPlainTextEdit* m_exceptions = nullptr;
  std::array<Row, kProxyProtocolCount> m_rows{};  // indexed by ProxyProtocol
  // Every label and text box: what "Use a proxy server" enables and disables.
  std::vector<QWidget*> m_followUseProxy;
};

}  // namespace proxy
