#pragma once

#include <QWebEngineUrlRequestInfo>

namespace browser {

// Whether a request for a local file may go ahead. A local page shows what it links as a
// page does (its style sheets, scripts, images, fonts, media, and frames or windows that
// are pages themselves), but its script reads no other local file: no XMLHttpRequest or
// fetch, no worker, no frame of a file that is not a page (a key, a folder listing) and
// no frame from outside the top page's own folder for it to read from. Requests not for
// a local file, or not from a local page, are not judged here.
bool mayLoadLocalFile(const QUrl& target, const QUrl& initiator, const QUrl& topPage,
                      QWebEngineUrlRequestInfo::ResourceType type);

}  // namespace browser
