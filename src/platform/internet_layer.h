#pragma once

#include <QByteArray>
#include <QNetworkProxy>

#include <cstdint>
#include <optional>

class QWebEngineProfile;

namespace platform {

// The process-wide proxy configuration of our internet layer, addressed like the
// platform call it stands in for: option 38 on the null handle, with the proxy record.
using HINTERNET = void*;
inline constexpr std::uint32_t INTERNET_OPTION_PROXY = 38;
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_PROXY = 3;

// Both lists are NUL-terminated texts in the locale's 8-bit encoding (UTF-8 here);
// a null pointer stands for an empty list.
struct INTERNET_PROXY_INFO {
  std::uint32_t dwAccessType;
  const char* lpszProxy;
  const char* lpszProxyBypass;
};

// The engine's page profile, asked for only when a change has to reach the engine.
using EngineProfileProvider = QWebEngineProfile* (*)();

// Start-up: the configuration becomes direct with empty lists, and the engine is told
// to use no proxy at all, so no proxy from the environment or the desktop is ever used.
// Call once after QApplication exists and before the first page is created.
void initInternetLayer(EngineProfileProvider engineProfile);

// Writes the record at the start of `buffer`, followed by the two texts it points at, so
// they stay readable while the buffer lives. When *bufferLength is too small nothing is
// written, *bufferLength is set to the size needed and the call fails.
bool InternetQueryOptionA(HINTERNET hInternet, std::uint32_t dwOption, void* lpBuffer,
                          std::uint32_t* lpdwBufferLength);

// Takes a copy of the record and its lists; the caller's texts need to live only for the
// call. dwBufferLength is sizeof(INTERNET_PROXY_INFO). Fails (returning false, keeping
// the previous configuration) for any other handle, option or length, an access type
// other than 1 or 3, or a proxy list from which no proxy for the engine can be taken.
// The engine's next navigation, in every window, uses the new configuration.
bool InternetSetOptionA(HINTERNET hInternet, std::uint32_t dwOption, const void* lpBuffer,
                        std::uint32_t dwBufferLength);

// The one proxy the engine can use for the given configuration (it takes one proxy for
// every scheme and no bypass list): "http=" drives it, then a bare "host:port" entry,
// then "https=", then "socks=" (as SOCKS5). A list naming only ftp or gopher gives
// NoProxy, as the engine fetches neither. Empty when nothing sensible can be applied.
[[nodiscard]] std::optional<QNetworkProxy> engineProxyFor(std::uint32_t accessType,
                                                          const QByteArray& proxyList);

}  // namespace platform
