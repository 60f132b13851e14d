#pragma once

#include "proxy/proxy_codec.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace proxy {

// Settings store location of the dialog's values.
inline constexpr char kSettingsSection[] = "proxy";
inline constexpr char kKeyAddress[] = "address";
inline constexpr char kKeyPort[] = "port";
inline constexpr char kKeyUse[] = "use";

// The running program's proxy as the dialog shows and sets it: on or off, and the proxy
// and bypass lists in text form.
struct ProxySettings {
  bool useProxy = false;
  QString proxyList;
  QString bypassList;
  friend bool operator==(const ProxySettings&, const ProxySettings&) = default;
};

// Everything the proxy dialog holds, without its widgets.
struct ProxyFormFields {
  QString address;
  QString port;
  ProxyRows rows;
  QString exceptions;
  bool useProxy = false;
  bool bypassLocal = false;
  bool useSame = false;
};

// What applying the form sets: both lists built from the rows as they stand.
[[nodiscard]] ProxySettings settingsFromForm(const ProxyFormFields& fields);

// Address and port are stored only alongside a non-empty exception text.
[[nodiscard]] bool savesAddressAndPort(const ProxyFormFields& fields);

// The stored value of the "use" key.
[[nodiscard]] QString useSettingValue(bool useProxy);

// Reads settings into the form: the rows and the exceptions from the lists, the proxy
// check box checked when the proxy is on (never cleared). Address and port stay as they
// are. Returns true when the proxy check box was checked, so the caller runs the check
// box's enable rule.
bool readSettings(const ProxySettings& settings, ProxyFormFields& fields);

// The "same server for all protocols" rule: Address and Port follow the Http row when
// checked and are emptied when not; the four other rows are enabled only when unchecked.
struct SameServerOutcome {
  QString address;
  QString port;
  bool othersEnabled = true;
};
[[nodiscard]] SameServerOutcome sameServerRule(bool useSame, const ProxyServerRow& http);

// The one proxy the engine takes for every scheme (it has no per-scheme proxies and no
// bypass list), read from the rows parseProxyList gives: the Http row drives it, then
// Secure, then Socks (as SOCKS5); rows for ftp or gopher alone leave it direct.
struct EngineProxy {
  enum class Kind { Direct, Http, Socks5 };
  Kind kind = Kind::Direct;
  QString host;  // ASCII (international names in their ACE form)
  std::uint16_t port = 0;
  friend bool operator==(const EngineProxy&, const EngineProxy&) = default;
};

// Direct with the proxy off, whatever the lists hold. With it on, every entry of the list
// must be a known prefix with a host name or IPv4 address, ":" and a port 1-65535;
// otherwise (a space typed into a field splits its entry) nothing: the settings are
// refused rather than run with a guessed port.
[[nodiscard]] std::optional<EngineProxy> engineProxyFor(const ProxySettings& settings);

}  // namespace proxy
