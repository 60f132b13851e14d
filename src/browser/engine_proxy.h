#pragma once

namespace browser {

// Start-up: the engine uses no proxy (never one from the environment or the desktop)
// until the internet layer is given one; from then on every configuration set there
// reaches the engine before the set returns, so the next navigation in any window uses
// it. A configuration the engine cannot use is refused (see proxy::engineProxyFor).
// Call once after QApplication exists and before the first page is created.
void initEngineProxy();

}  // namespace browser
