#include "proxy/proxy_dialog.h"

#include "platform/app_title.h"
#include "platform/internet_layer.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <array>
#include <cstring>
#include <vector>

namespace proxy {

namespace {

constexpr char kCaption[] = "Proxy Settings";
constexpr char kEnabledMessage[] = "Proxy settings enabled.";
constexpr char kFailedMessage[] = "Unable to set proxy.";
constexpr std::uint32_t kQueryBufferSize = 4096;

// The layout is given in twips; the program assumes 96 dpi, 15 twips to the pixel.
constexpr int px(int twips) { return (twips + 7) / 15; }

void place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(px(left), px(top), px(width), px(height));
}

template <typename W>
W* named(W* w, const char* objectName, const QString& accessibleName) {
  w->setObjectName(QString::fromLatin1(objectName));
  w->setAccessibleName(accessibleName);
  return w;
}

QString text(const char* s) { return QString::fromUtf8(s); }

QString fromLatin(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A NUL-terminated text at an address; a null address gives an empty text.
QString StringFromPointer(const char* address) {
  return address == nullptr ? QString() : QString::fromLocal8Bit(address);
}

// One protocol row of the group "Servers", top to bottom: where it sits and the names its
// controls carry. Building, reading, writing and enabling the rows all go through it.
struct RowPlan {
  ProxyProtocol protocol;
  int top;
  int labelWidth;
  const char* caption;
  const char* host;
  const char* colon;
  const char* port;
  const char* spoken;  // the protocol in the boxes' accessible names
};

constexpr std::array<RowPlan, kProxyProtocolCount> kRows{{
    {ProxyProtocol::Http, 600, 480, "Label6", "txtHttp", "Label11", "txtHttpPort", "HTTP"},
    {ProxyProtocol::Secure, 960, 555, "Label7", "txtSecure", "Label12", "txtSecurePort", "Secure"},
    {ProxyProtocol::Ftp, 1320, 345, "Label8", "txtFtp", "Label13", "txtFtpPort", "FTP"},
    {ProxyProtocol::Gopher, 1680, 570, "Label9", "txtGopher", "Label14", "txtGopherPort", "Gopher"},
    {ProxyProtocol::Socks, 2040, 495, "Label10", "txtSocks", "Label15", "txtSocksPort", "Socks"},
}};

}  // namespace

void showProxyDialog(QWidget* owner) {
  frmProxyTest dialog;
  if (owner != nullptr && owner->screen() != nullptr) {
    dialog.setScreen(owner->screen());
  }
  dialog.exec();
}

QString frmProxyTest::settingsApplication() { return platform::AppTitle::get(); }

frmProxyTest::frmProxyTest(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmProxyTest"));
  setWindowTitle(text(kCaption));
  setAccessibleName(text(kCaption));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  setWindowIcon(QApplication::windowIcon());
  setFixedSize(px(4965), px(1845));
  buildControls();
  Form_Load();
}

frmProxyTest::~frmProxyTest() = default;

void frmProxyTest::buildControls() {
  QFont small = font();
  small.setPointSizeF(8.25);
  setFont(small);

  // Labels and text boxes all follow "Use a proxy server".
  const auto label = [this](const QString& caption, QWidget* parent, const char* objectName,
                            const QString& spoken) {
    auto* l = named(new QLabel(caption, parent), objectName, spoken);
    m_followUseProxy.push_back(l);
    return l;
  };
  const auto box = [this](QWidget* parent, const char* objectName, const QString& spoken) {
    auto* b = named(new QLineEdit(parent), objectName, spoken);
    m_followUseProxy.push_back(b);
    return b;
  };

  // Proxy Server.
  Frame1 = named(new QGroupBox(text("Proxy Server"), this), "Frame1", text("Proxy Server"));
  place(Frame1, 120, 120, 4755, 1110);
  chkUseProxy = named(new QCheckBox(text("Use a pro&xy server"), Frame1), "chkUseProxy",
                      text("Use a proxy server"));
  place(chkUseProxy, 120, 360, 1815, 195);
  QLabel* lblAddress = label(text("Address:"), Frame1, "lblAddress", text("Address:"));
  place(lblAddress, 360, 720, 615, 195);
  txtAddress = box(Frame1, "txtAddress", text("Proxy address"));
  place(txtAddress, 1080, 720, 1815, 285);
  QLabel* Label2 = label(text("Port:"), Frame1, "Label2", text("Port:"));
  place(Label2, 3120, 720, 330, 195);
  txtPort = box(Frame1, "txtPort", text("Proxy port"));
  place(txtPort, 3600, 720, 1095, 285);
  chkBypass = named(new QCheckBox(text("&Bypass proxy server for local addresses"), Frame1),
                    "chkBypass", text("Bypass proxy server for local addresses"));
  place(chkBypass, 360, 1080, 4335, 255);
  chkBypass->setEnabled(false);
  lblAddress->setBuddy(txtAddress);
  Label2->setBuddy(txtPort);

  // Enter presses the button that has the focus; OK only while none has.
  cmdApply = named(new QPushButton(text("&Apply"), this), "cmdApply", text("Apply"));
  place(cmdApply, 60, 1425, 1215, 375);
  cmdOK = named(new QPushButton(text("OK"), this), "cmdOK", text("OK"));
  place(cmdOK, 2430, 1410, 1215, 375);
  cmdSetProxyInfo = named(new QPushButton(text("Cancel"), this), "cmdSetProxyInfo", text("Cancel"));
  place(cmdSetProxyInfo, 3690, 1410, 1215, 375);
  cmdOK->setDefault(true);

  // Servers: laid out below the visible client area, as designed; it still holds the rows.
  Frame2 = named(new QGroupBox(text("Servers"), this), "Frame2", text("Servers"));
  place(Frame2, 120, 1800, 5895, 2775);
  Frame2->setEnabled(false);
  place(label(text("Type"), Frame2, "Label3", text("Type")), 840, 240, 360, 195);
  place(label(text("Proxy address to use"), Frame2, "Label4", text("Proxy address to use")), 1800,
        240, 1470, 195);
  place(label(text("Port"), Frame2, "Label5", text("Port")), 4560, 240, 285, 195);

  QFont colonFont(QStringLiteral("Arial"));
  colonFont.setPointSizeF(8.25);
  colonFont.setBold(true);
  for (const RowPlan& plan : kRows) {
    const QString caption = fromLatin(protocolInfo(plan.protocol).label);
    const QString name = text(plan.spoken);
    Row& r = row(plan.protocol);
    r.caption = label(caption, Frame2, plan.caption, QString(caption).remove(u'&'));
    place(r.caption, 840, plan.top, plan.labelWidth, 195);
    r.host = box(Frame2, plan.host, name + text(" proxy address"));
    place(r.host, 1800, plan.top, 2535, 285);
    r.colon = label(text(":"), Frame2, plan.colon, name + text(" separator"));
    place(r.colon, 4440, plan.top, 75, 195);
    r.colon->setFont(colonFont);
    r.port = box(Frame2, plan.port, name + text(" proxy port"));
    place(r.port, 4560, plan.top, 735, 285);
    r.caption->setBuddy(r.host);
  }
  chkUseSame = named(new QCheckBox(text("&Use the same proxy server for all protocols"), Frame2),
                     "chkUseSame", text("Use the same proxy server for all protocols"));
  place(chkUseSame, 840, 2400, 4455, 255);
  auto* Image1 = named(new QLabel(Frame2), "Image1", text("Servers icon"));
  place(Image1, 240, 600, 480, 480);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(px(480), px(480)));

  // Exceptions.
  Frame3 = named(new QGroupBox(text("Exceptions"), this), "Frame3", text("Exceptions"));
  place(Frame3, 120, 4680, 5895, 1455);
  Frame3->setEnabled(false);
  QLabel* Label16 = label(text("Do &not use proxy server for addresses beginning with:"), Frame3,
                          "Label16", text("Do not use proxy server for addresses beginning with:"));
  place(Label16, 720, 240, 3780, 195);
  txtAddresses = named(new QPlainTextEdit(Frame3), "txtAddresses", text("Exceptions"));
  m_followUseProxy.push_back(txtAddresses);
  place(txtAddresses, 720, 480, 4575, 495);
  txtAddresses->setTabChangesFocus(true);
  Label16->setBuddy(txtAddresses);
  place(label(text("Use semicolons ( ; ) to separate entries."), Frame3, "Label17",
              text("Use semicolons ( ; ) to separate entries.")),
        720, 1080, 2775, 195);
  auto* Image2 = named(new QLabel(Frame3), "Image2", text("Exceptions icon"));
  place(Image2, 120, 240, 480, 480);
  Image2->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(px(480)));

  // Keyboard order by tab index; labels and groups take no focus.
  std::vector<QWidget*> order{chkUseProxy, txtAddress, txtPort, chkBypass};
  for (const RowPlan& plan : kRows) {
    order.push_back(row(plan.protocol).host);
    order.push_back(row(plan.protocol).port);
  }
  order.insert(order.end(), {chkUseSame, txtAddresses, cmdApply, cmdOK, cmdSetProxyInfo});
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }

  // The layout was drawn for a narrower font: captions grow to their text, never shrink.
  for (QWidget* w : findChildren<QWidget*>()) {
    if (qobject_cast<QLabel*>(w) != nullptr || qobject_cast<QCheckBox*>(w) != nullptr) {
      if (w->sizeHint().width() > w->width()) {
        w->resize(w->sizeHint().width(), w->height());
      }
    }
  }

  connect(chkUseProxy, &QCheckBox::clicked, this, [this] { chkUseProxy_Click(); });
  connect(chkUseSame, &QCheckBox::clicked, this, [this] { chkUseSame_Click(); });
  connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  connect(cmdSetProxyInfo, &QPushButton::clicked, this, [this] { cmdSetProxyInfo_Click(); });
}

void frmProxyTest::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->geometry().center());
    move(frame.topLeft());
  }
}

frmProxyTest::Row& frmProxyTest::row(ProxyProtocol protocol) {
  return m_rows[static_cast<std::size_t>(protocol)];
}

const frmProxyTest::Row& frmProxyTest::row(ProxyProtocol protocol) const {
  return m_rows[static_cast<std::size_t>(protocol)];
}

ProxyFormFields frmProxyTest::fields() const {
  ProxyFormFields f;
  f.address = txtAddress->text();
  f.port = txtPort->text();
  for (const RowPlan& plan : kRows) {
    f.rows[plan.protocol] = {row(plan.protocol).host->text(), row(plan.protocol).port->text()};
  }
  f.exceptions = txtAddresses->toPlainText();
  f.useProxy = chkUseProxy->isChecked();
  f.bypassLocal = chkBypass->isChecked();
  f.useSame = chkUseSame->isChecked();
  return f;
}

void frmProxyTest::showFields(const ProxyFormFields& f) {
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
  if (txtAddresses->toPlainText() != f.exceptions) {
    txtAddresses->setPlainText(f.exceptions);
  }
  chkBypass->setChecked(f.bypassLocal);
}

void frmProxyTest::Form_Load() {
  const QString app = settingsApplication();
  txtAddress->setText(platform::GetSetting(app, text(kSettingsSection), text(kKeyAddress)));
  txtPort->setText(platform::GetSetting(app, text(kSettingsSection), text(kKeyPort)));
  RefreshSettings();
}

void frmProxyTest::RefreshSettings() {
  // A failed query leaves the buffer zero: access type 0 and no lists, so nothing changes.
  alignas(platform::INTERNET_PROXY_INFO) std::array<char, kQueryBufferSize> buffer{};
  std::uint32_t length = kQueryBufferSize;
  platform::InternetQueryOptionA(nullptr, platform::INTERNET_OPTION_PROXY, buffer.data(), &length);
  platform::INTERNET_PROXY_INFO record{};
  std::memcpy(&record, buffer.data(), sizeof record);
  const ProxyConfiguration configuration{record.dwAccessType, StringFromPointer(record.lpszProxy),
                                         StringFromPointer(record.lpszProxyBypass)};
  ProxyFormFields f = fields();
  if (readConfiguration(configuration, f)) {
    chkUseProxy->setChecked(true);
    chkUseProxy_Click();
  }
  showFields(f);
}

void frmProxyTest::ApplySettings() {
  const ProxyFormFields f = fields();
  const QString app = settingsApplication();
  if (savesAddressAndPort(f)) {
    platform::SaveSetting(app, text(kSettingsSection), text(kKeyAddress), f.address);
    platform::SaveSetting(app, text(kSettingsSection), text(kKeyPort), f.port);
  }
  const ProxyConfiguration configuration = configurationFromForm(f);
  const QByteArray proxyList = configuration.proxyList.toLocal8Bit();
  const QByteArray bypassList = configuration.bypassList.toLocal8Bit();
  const platform::INTERNET_PROXY_INFO record{configuration.accessType, proxyList.constData(),
                                             bypassList.constData()};
  const bool ok = platform::InternetSetOptionA(nullptr, platform::INTERNET_OPTION_PROXY, &record,
                                               sizeof record);
  if (ok) {
    platform::MsgBox(text(kEnabledMessage), platform::vbInformation, text(kCaption), this);
  } else {
    platform::MsgBox(text(kFailedMessage), platform::vbExclamation, text(kCaption), this);
  }
}

void frmProxyTest::chkUseProxy_Click() {
  const bool on = chkUseProxy->isChecked();
  Frame2->setEnabled(on);
  Frame3->setEnabled(on);
  for (QWidget* w : m_followUseProxy) {
    w->setEnabled(on);
  }
  chkBypass->setEnabled(on);
  chkUseSame->setEnabled(on);
}

void frmProxyTest::chkUseSame_Click() {
  const Row& http = row(ProxyProtocol::Http);
  const SameServerOutcome outcome =
      sameServerRule(chkUseSame->isChecked(), {http.host->text(), http.port->text()});
  txtAddress->setText(outcome.address);
  txtPort->setText(outcome.port);
  for (const RowPlan& plan : kRows) {
    if (plan.protocol != ProxyProtocol::Http) {
      row(plan.protocol).host->setEnabled(outcome.othersEnabled);
      row(plan.protocol).port->setEnabled(outcome.othersEnabled);
    }
  }
}

void frmProxyTest::cmdApply_Click() {
  row(ProxyProtocol::Http).host->setText(txtAddress->text());
  row(ProxyProtocol::Http).port->setText(txtPort->text());
  ApplySettings();
  RefreshSettings();
}

void frmProxyTest::cmdOK_Click() {
  ApplySettings();
  platform::SaveSetting(settingsApplication(), text(kSettingsSection), text(kKeyUse),
                        useSettingValue(chkUseProxy->isChecked()));
  accept();
}

void frmProxyTest::cmdSetProxyInfo_Click() { reject(); }

}  // namespace proxy
