#include "platform/internet_layer.h"

#include <cstring>
#include <utility>

namespace platform {

namespace {

struct InternetState {
  std::uint32_t accessType = INTERNET_OPEN_TYPE_DIRECT;
  QByteArray proxyList;
  QByteArray bypassList;
  ProxyConsumer consumer;
};

InternetState& state() {
  static InternetState s;
  return s;
}

QByteArray textAt(const char* text) { return text == nullptr ? QByteArray() : QByteArray(text); }

}  // namespace

void initInternetLayer(ProxyConsumer consumer) {
  InternetState& s = state();
  s.accessType = INTERNET_OPEN_TYPE_DIRECT;
  s.proxyList.clear();
  s.bypassList.clear();
  s.consumer = std::move(consumer);
}

bool InternetQueryOptionA(HINTERNET hInternet, std::uint32_t dwOption, void* lpBuffer,
                          std::uint32_t* lpdwBufferLength) {
  if (hInternet != nullptr || dwOption != INTERNET_OPTION_PROXY || lpdwBufferLength == nullptr) {
    return false;
  }
  const InternetState& s = state();
  const std::size_t recordSize = sizeof(INTERNET_PROXY_INFO);
  const std::size_t needed = recordSize + static_cast<std::size_t>(s.proxyList.size()) + 1 +
                             static_cast<std::size_t>(s.bypassList.size()) + 1;
  if (lpBuffer == nullptr || *lpdwBufferLength < needed) {
    *lpdwBufferLength = static_cast<std::uint32_t>(needed);
    return false;
  }
  auto* bytes = static_cast<char*>(lpBuffer);
  char* proxyText = bytes + recordSize;
  char* bypassText = proxyText + s.proxyList.size() + 1;
  std::memcpy(proxyText, s.proxyList.constData(), static_cast<std::size_t>(s.proxyList.size()) + 1);
  std::memcpy(bypassText, s.bypassList.constData(),
              static_cast<std::size_t>(s.bypassList.size()) + 1);
  const INTERNET_PROXY_INFO record{s.accessType, proxyText, bypassText};
  std::memcpy(bytes, &record, recordSize);  // the caller's buffer need not be aligned
  *lpdwBufferLength = static_cast<std::uint32_t>(needed);
  return true;
}

bool InternetSetOptionA(HINTERNET hInternet, std::uint32_t dwOption, const void* lpBuffer,
                        std::uint32_t dwBufferLength) {
  if (hInternet != nullptr || dwOption != INTERNET_OPTION_PROXY || lpBuffer == nullptr ||
      dwBufferLength != sizeof(INTERNET_PROXY_INFO)) {
    return false;
  }
  INTERNET_PROXY_INFO record{};
  std::memcpy(&record, lpBuffer, sizeof record);
  const QByteArray proxyList = textAt(record.lpszProxy);
  const QByteArray bypassList = textAt(record.lpszProxyBypass);
  InternetState& s = state();
  if (record.dwAccessType != INTERNET_OPEN_TYPE_DIRECT &&
      record.dwAccessType != INTERNET_OPEN_TYPE_PROXY) {
    return false;
  }
  if (s.consumer && !s.consumer(record.dwAccessType, proxyList)) {
    return false;
  }
  s.accessType = record.dwAccessType;
  s.proxyList = proxyList;
  s.bypassList = bypassList;
  return true;
}

}  // namespace platform
