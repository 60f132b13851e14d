#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <string_view>

namespace proxy {

// The five protocol rows of the proxy dialog. The values index ProxyRows.
enum class ProxyProtocol : int { Socks = 0, Secure = 1, Http = 2, Gopher = 3, Ftp = 4 };
inline constexpr std::size_t kProxyProtocolCount = 5;

struct ProxyProtocolInfo {
  ProxyProtocol protocol;
  std::string_view label;   // the row's caption in the dialog, translated where shown
  std::string_view prefix;  // keyword in the proxy list, "=" included
};

// In the order the proxy list is built.
inline constexpr std::array<ProxyProtocolInfo, kProxyProtocolCount> kBuildOrder{{
    {ProxyProtocol::Socks, QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "So&cks:"), "socks="},
    {ProxyProtocol::Secure, QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "&Secure:"), "https="},
    {ProxyProtocol::Http, QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "&HTTP:"), "http="},
    {ProxyProtocol::Gopher, QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "&Gopher:"), "gopher="},
    {ProxyProtocol::Ftp, QT_TRANSLATE_NOOP("proxy::ProxySettingsDialog", "&FTP:"), "ftp="},
}};

// In the order prefixes are tested when a list is parsed. "http=" comes before "https="
// harmlessly: "https=..." does not begin with "http=".
inline constexpr std::array<ProxyProtocol, kProxyProtocolCount> kParseOrder{
    ProxyProtocol::Http, ProxyProtocol::Secure, ProxyProtocol::Ftp, ProxyProtocol::Gopher,
    ProxyProtocol::Socks};

[[nodiscard]] const ProxyProtocolInfo& protocolInfo(ProxyProtocol protocol);

// Host and port exactly as typed: never trimmed, never validated.
struct ProxyServerRow {
  QString host;
  QString port;
  friend bool operator==(const ProxyServerRow&, const ProxyServerRow&) = default;
};

class ProxyRows {
 public:
  [[nodiscard]] ProxyServerRow& operator[](ProxyProtocol p) { return m_rows[index(p)]; }
  [[nodiscard]] const ProxyServerRow& operator[](ProxyProtocol p) const { return m_rows[index(p)]; }
  friend bool operator==(const ProxyRows&, const ProxyRows&) = default;

 private:
  static constexpr std::size_t index(ProxyProtocol p) { return static_cast<std::size_t>(p); }
  std::array<ProxyServerRow, kProxyProtocolCount> m_rows;
};

// The exception text and the local-bypass flag, as the dialog holds them.
struct BypassFields {
  QString exceptions;
  bool bypassLocal = false;
  friend bool operator==(const BypassFields&, const BypassFields&) = default;
};

inline constexpr QStringView kLocalEntry = u"<local>";

// "socks=h:p https=h:p http=h:p gopher=h:p ftp=h:p", rows lacking a host or a port left out.
[[nodiscard]] QString buildProxyList(const ProxyRows& rows);

// The exception text with ";" turned into spaces, plus " <local>" when the flag is set,
// spaces trimmed from both ends.
[[nodiscard]] QString buildBypassList(const QString& exceptions, bool bypassLocal);

// Rows the list names are replaced (a later entry for the same protocol wins); the rest
// keep what `rows` held. An entry with a known prefix but no ":" gives the whole rest as
// the host and an empty port.
[[nodiscard]] ProxyRows parseProxyList(const QString& proxyList, ProxyRows rows);

// Entries other than "<local>" become the exception text joined by ";" (only when there
// is at least one); "<local>" sets the flag, which parsing never clears.
[[nodiscard]] BypassFields parseBypassList(const QString& bypassList, BypassFields fields);

}  // namespace proxy
