#pragma once

class QWebEngineProfile;

namespace browser {

// Every download the engine starts asks the user where to save it, in a save dialog
// with the suggested name; cancelling saves nothing. Saved pages are already placed.
void handleDownloads(QWebEngineProfile* profile);

}  // namespace browser
