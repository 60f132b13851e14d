#include "proxy/proxy_settings_dialog.h"

#include "platform/app_title.h"
#include "platform/settings_store.h"
#include "proxy/engine_proxy.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <string>

namespace proxy {

namespace {

// The dialog's fixed client size, in pixels.
constexpr QSize kClientSize(331, 123);

QString settingsApplication() { return platform::AppTitle::get(); }

template <typename W>
W* named(W* w, const char* objectName, const QString& accessibleName) {
  w->setObjectName(QString::fromLatin1(objectName));
  w->setAccessibleName(accessibleName);
  return w;
}

// One protocol row of the group "Servers", top to bottom, and the names its controls carry.
struct RowPlan {
  ProxyProtocol protocol;
  const char* captionName;
  const char* hostName;
  const char* colonName;
  const char* portName;
  const char* spoken;  // the protocol in the boxes' accessible names, translated there
};

constexpr std::array<RowPlan, kProxyProtocolCount> kRows{{
    {ProxyProtocol::Http, "Label6", "txtHttp", "Label11", "txtHttpPort",
     QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "HTTP")},
    {ProxyProtocol::Secure, "Label7", "txtSecure", "Label12", "txtSecurePort",
     QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "Secure")},
    {ProxyProtocol::Ftp, "Label8", "txtFtp", "Label13", "txtFtpPort",
     QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "FTP")},
    {ProxyProtocol::Gopher, "Label9", "txtGopher", "Label14", "txtGopherPort",
     QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "Gopher")},
    {ProxyProtocol::Socks, "Label10", "txtSocks", "Label15", "txtSocksPort",
     QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "Socks")},
}};

}  // namespace

void showProxySettingsDialog(QWidget* owner) {
  auto* dialog = new ProxySettingsDialog();
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  if (owner != nullptr && owner->screen() != nullptr) {
    dialog->setScreen(owner->screen());
  }
  dialog->show();
}

ProxySettingsDialog::ProxySettingsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("proxySettingsDialog"));
  setWindowTitle(tr("Proxy Settings"));
  setAccessibleName(windowTitle());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  setWindowIcon(QApplication::windowIcon());
  buildControls();
  setFixedSize(kClientSize);
  loadStoredAddress();
  refresh();
}

ProxySettingsDialog::~ProxySettingsDialog() = default;

// Labels and text boxes all follow "Use a proxy server".
QLabel* ProxySettingsDialog::label(const QString& caption, QWidget* parent,
                                   const char* objectName) {
  auto* l = named(new QLabel(caption, parent), objectName, QString(caption).remove(u'&'));
  m_followUseProxy.push_back(l);
  return l;
}

QLineEdit* ProxySettingsDialog::box(QWidget* parent, const char* objectName,
                                    const QString& spoken) {
  auto* b = named(new QLineEdit(parent), objectName, spoken);
  m_followUseProxy.push_back(b);
  return b;
}

void ProxySettingsDialog::buildControls() {
  auto* proxyServer = named(new QGroupBox(tr("Proxy Server"), this), "Frame1", tr("Proxy Server"));
  m_useProxy = named(new QCheckBox(tr("Use a pro&xy server"), proxyServer), "chkUseProxy",
                     tr("Use a proxy server"));
  QLabel* addressLabel = label(tr("Address:"), proxyServer, "lblAddress");
  m_address = box(proxyServer, "txtAddress", tr("Proxy address"));
  QLabel* portLabel = label(tr("Port:"), proxyServer, "Label2");
  m_port = box(proxyServer, "txtPort", tr("Proxy port"));
  addressLabel->setBuddy(m_address);
  portLabel->setBuddy(m_port);
  auto* server = new QGridLayout(proxyServer);
  server->setContentsMargins(8, 4, 8, 4);
  server->setVerticalSpacing(4);
  server->addWidget(m_useProxy, 0, 0, 1, 4, Qt::AlignLeft);
  server->addWidget(addressLabel, 1, 0);
  server->addWidget(m_address, 1, 1);
  server->addWidget(portLabel, 1, 2);
  server->addWidget(m_port, 1, 3);
  server->setColumnStretch(1, 5);
  server->setColumnStretch(3, 3);

  // Enter presses the button that has the focus; OK only while none has.
  auto* apply = named(new QPushButton(tr("&Apply"), this), "cmdApply", tr("Apply"));
  auto* ok = named(new QPushButton(tr("OK"), this), "cmdOK", tr("OK"));
  auto* cancel = named(new QPushButton(tr("Cancel"), this), "cmdSetProxyInfo", tr("Cancel"));
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(apply);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* dialog = new QVBoxLayout(this);
  dialog->setContentsMargins(8, 8, 8, 8);
  dialog->addWidget(proxyServer);
  dialog->addStretch(1);
  dialog->addLayout(buttons);

  QWidget* more = buildServersAndExceptions();

  // Keyboard order: what is on screen, then the fields that are not.
  std::vector<QWidget*> order{m_useProxy, m_address, m_port, m_bypassLocal};
  for (const RowPlan& plan : kRows) {
    order.push_back(row(plan.protocol).host);
    order.push_back(row(plan.protocol).port);
  }
  order.insert(order.end(), {m_useSameServer, m_exceptions, apply, ok, cancel});
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
  more->hide();

  connect(m_useProxy, &QCheckBox::clicked, this, &ProxySettingsDialog::updateEnabledFromUseProxy);
  connect(m_useSameServer, &QCheckBox::clicked, this, &ProxySettingsDialog::applySameServerRule);
  connect(apply, &QPushButton::clicked, this, &ProxySettingsDialog::applyAndRefresh);
  connect(ok, &QPushButton::clicked, this, &ProxySettingsDialog::applyAndClose);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// The per-protocol servers, the exceptions and the local bypass are not on screen: the
// dialog shows one address and port. They still hold what is read and set, and follow
// the enable rules.
QWidget* ProxySettingsDialog::buildServersAndExceptions() {
  auto* more = new QWidget(this);
  more->setObjectName(QStringLiteral("moreSettings"));
  auto* column = new QVBoxLayout(more);
  m_bypassLocal = named(new QCheckBox(tr("&Bypass proxy server for local addresses"), more),
                        "chkBypass", tr("Bypass proxy server for local addresses"));
  m_bypassLocal->setEnabled(false);
  column->addWidget(m_bypassLocal);

  m_serversGroup = named(new QGroupBox(tr("Servers"), more), "Frame2", tr("Servers"));
  m_serversGroup->setEnabled(false);
  auto* servers = new QGridLayout(m_serversGroup);
  auto* serversIcon = named(new QLabel(m_serversGroup), "Image1", tr("Servers icon"));
  serversIcon->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
  servers->addWidget(serversIcon, 1, 0, 2, 1, Qt::AlignTop);
  servers->addWidget(label(tr("Type"), m_serversGroup, "Label3"), 0, 1);
  servers->addWidget(label(tr("Proxy address to use"), m_serversGroup, "Label4"), 0, 2);
  servers->addWidget(label(tr("Port"), m_serversGroup, "Label5"), 0, 4);
  QFont bold = font();
  bold.setBold(true);
  int line = 1;
  for (const RowPlan& plan : kRows) {
    const QString caption = tr(std::string(protocolInfo(plan.protocol).label).c_str());
    const QString name = tr(plan.spoken);
    Row& r = row(plan.protocol);
    QLabel* rowCaption = label(caption, m_serversGroup, plan.captionName);
    r.host = box(m_serversGroup, plan.hostName, tr("%1 proxy address").arg(name));
    QLabel* colon = label(QStringLiteral(":"), m_serversGroup, plan.colonName);
    colon->setAccessibleName(tr("%1 separator").arg(name));
    colon->setFont(bold);
    r.port = box(m_serversGroup, plan.portName, tr("%1 proxy port").arg(name));
    rowCaption->setBuddy(r.host);
    servers->addWidget(rowCaption, line, 1);
    servers->addWidget(r.host, line, 2);
    servers->addWidget(colon, line, 3);
    servers->addWidget(r.port, line, 4);
    ++line;
  }
  m_useSameServer =
      named(new QCheckBox(tr("&Use the same proxy server for all protocols"), m_serversGroup),
            "chkUseSame", tr("Use the same proxy server for all protocols"));
  servers->addWidget(m_useSameServer, line, 1, 1, 4);
  column->addWidget(m_serversGroup);

  m_exceptionsGroup = named(new QGroupBox(tr("Exceptions"), more), "Frame3", tr("Exceptions"));
  m_exceptionsGroup->setEnabled(false);
  auto* exceptions = new QGridLayout(m_exceptionsGroup);
  auto* exceptionsIcon = named(new QLabel(m_exceptionsGroup), "Image2", tr("Exceptions icon"));
  exceptionsIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  QLabel* exceptionsLabel = label(tr("Do &not use proxy server for addresses beginning with:"),
                                  m_exceptionsGroup, "Label16");
  m_exceptions = named(new QPlainTextEdit(m_exceptionsGroup), "txtAddresses", tr("Exceptions"));
  m_followUseProxy.push_back(m_exceptions);
  m_exceptions->setTabChangesFocus(true);
  exceptionsLabel->setBuddy(m_exceptions);
  exceptions->addWidget(exceptionsIcon, 0, 0, 3, 1, Qt::AlignTop);
  exceptions->addWidget(exceptionsLabel, 0, 1);
  exceptions->addWidget(m_exceptions, 1, 1);
  exceptions->addWidget(
      label(tr("Use semicolons ( ; ) to separate entries."), m_exceptionsGroup, "Label17"), 2, 1);
  column->addWidget(m_exceptionsGroup);
  return more;
}

void ProxySettingsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->geometry().center());
    move(frame.topLeft());
  }
}

ProxySettingsDialog::Row& ProxySettingsDialog::row(ProxyProtocol protocol) {
  return m_rows[static_cast<std::size_t>(protocol)];
}

const ProxySettingsDialog::Row& ProxySettingsDialog::row(ProxyProtocol protocol) const {
  return m_rows[static_cast<std::size_t>(protocol)];
}

ProxyFormFields ProxySettingsDialog::fields() const {
  ProxyFormFields f;
  f.address = m_address->text();
  f.port = m_port->text();
  for (const RowPlan& plan : kRows) {
    f.rows[plan.protocol] = {row(plan.protocol).host->text(), row(plan.protocol).port->text()};
  }
  f.exceptions = m_exceptions->toPlainText();
  f.useProxy = m_useProxy->isChecked();
  f.bypassLocal = m_bypassLocal->isChecked();
  f.useSame = m_useSameServer->isChecked();
  return f;
}

void ProxySettingsDialog::showFields(const ProxyFormFields& f) {
  // Only what reading may change; a box whose text is unchanged keeps its cursor.
  const auto setText = [](QLineEdit* box, const QString& value) {
    if (box->text() != value) {
      box->setText(value);
    }
  };
  for (const RowPlan& plan : kRows) {
    setText(row(plan.protocol).host, f.rows[plan.protocol].host);
    setText(row(plan.protocol).port, f.rows[plan.protocol].port);
  }
  if (m_exceptions->toPlainText() != f.exceptions) {
    m_exceptions->setPlainText(f.exceptions);
  }
  m_bypassLocal->setChecked(f.bypassLocal);
}

void ProxySettingsDialog::loadStoredAddress() {
  const QString app = settingsApplication();
  const QString section = QString::fromLatin1(kSettingsSection);
  m_address->setText(platform::readSetting(app, section, QString::fromLatin1(kKeyAddress)));
  m_port->setText(platform::readSetting(app, section, QString::fromLatin1(kKeyPort)));
}

void ProxySettingsDialog::refresh() {
  ProxyFormFields f = fields();
  if (readSettings(proxySettings(), f)) {
    m_useProxy->setChecked(true);
    updateEnabledFromUseProxy();
  }
  showFields(f);
}

void ProxySettingsDialog::applySettings(const std::function<void()>& then) {
  const ProxyFormFields f = fields();
  const QString app = settingsApplication();
  const QString section = QString::fromLatin1(kSettingsSection);
  if (savesAddressAndPort(f)) {
    platform::saveSetting(app, section, QString::fromLatin1(kKeyAddress), f.address);
    platform::saveSetting(app, section, QString::fromLatin1(kKeyPort), f.port);
  }
  const bool ok = applyProxySettings(settingsFromForm(f));
  auto* box = new QMessageBox(ok ? QMessageBox::Information : QMessageBox::Warning, windowTitle(),
                              ok ? tr("Proxy settings enabled.") : tr("Unable to set proxy."),
                              QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  if (then) {
    connect(box, &QMessageBox::finished, this, then);
  }
  box->open();
}

void ProxySettingsDialog::updateEnabledFromUseProxy() {
  const bool on = m_useProxy->isChecked();
  m_serversGroup->setEnabled(on);
  m_exceptionsGroup->setEnabled(on);
  for (QWidget* w : m_followUseProxy) {
    w->setEnabled(on);
  }
  m_bypassLocal->setEnabled(on);
  m_useSameServer->setEnabled(on);
}

void ProxySettingsDialog::applySameServerRule() {
  const Row& http = row(ProxyProtocol::Http);
  const SameServerOutcome outcome =
      sameServerRule(m_useSameServer->isChecked(), {http.host->text(), http.port->text()});
  m_address->setText(outcome.address);
  m_port->setText(outcome.port);
  for (const RowPlan& plan : kRows) {
    if (plan.protocol != ProxyProtocol::Http) {
      row(plan.protocol).host->setEnabled(outcome.othersEnabled);
      row(plan.protocol).port->setEnabled(outcome.othersEnabled);
    }
  }
}

void ProxySettingsDialog::applyAndRefresh() {
  row(ProxyProtocol::Http).host->setText(m_address->text());
  row(ProxyProtocol::Http).port->setText(m_port->text());
  applySettings();
  refresh();
}

void ProxySettingsDialog::applyAndClose() {
  // "use" is stored whatever the outcome; the dialog closes once its message is read.
  applySettings([this] { accept(); });
  platform::saveSetting(settingsApplication(), QString::fromLatin1(kSettingsSection),
                        QString::fromLatin1(kKeyUse), useSettingValue(m_useProxy->isChecked()));
}

}  // namespace proxy
