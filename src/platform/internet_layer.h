#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

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

// Whoever makes a configuration take effect (the browser engine). It is asked before a
// configuration is stored and answers false when it cannot use it: the set then fails
// and the previous configuration stays in force.
using ProxyConsumer = std::function<bool(std::uint32_t accessType, const QByteArray& proxyList)>;

// Start-up: the configuration becomes direct with empty lists, and later sets go through
// `consumer` (none: they are only stored).
void initInternetLayer(ProxyConsumer consumer);

// Writes the record at the start of `buffer`, followed by the two texts it points at, so
// they stay readable while the buffer lives. When *bufferLength is too small nothing is
// written, *bufferLength is set to the size needed and the call fails.
bool InternetQueryOptionA(HINTERNET hInternet, std::uint32_t dwOption, void* lpBuffer,
                          std::uint32_t* lpdwBufferLength);

// Takes a copy of the record and its lists; the caller's texts need to live only for the
// call. dwBufferLength is sizeof(INTERNET_PROXY_INFO). Fails (returning false, keeping
// the previous configuration) for any other handle, option or length, an access type
// other than 1 or 3, or a configuration the consumer refuses.
bool InternetSetOptionA(HINTERNET hInternet, std::uint32_t dwOption, const void* lpBuffer,
                        std::uint32_t dwBufferLength);

}  // namespace platform
