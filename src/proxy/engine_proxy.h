#pragma once

#include "proxy/proxy_form.h"

namespace proxy {

// Start-up: the engine uses no proxy (never one from the environment or the desktop)
// until the user sets one. Call once after QApplication exists and before the first page
// is created.
void initEngineProxy();

// The proxy in force for the running program.
[[nodiscard]] const ProxySettings& proxySettings();

// Makes `settings` the program's proxy for every window's next navigation. Settings the
// engine cannot use are refused (see engineProxyFor): false, and the proxy in
// force stays.
bool applyProxySettings(const ProxySettings& settings);

}  // namespace proxy
