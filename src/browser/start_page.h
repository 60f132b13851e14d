#pragma once

#include <QString>

class QUrl;

namespace browser {

// "res://" + program folder + "\" + executable base name + ".exe/page.htm".
// The separator and ".exe" are part of the address as the program has always
// spelled it, on every platform.
QString startPageAddress(const QString& programDir, const QString& exeBaseName);

// The path (decoded) that a request for the start page carries.
QString startPagePath(const QString& programDir, const QString& exeBaseName);

// Whether a request to the res: scheme is the start page and nothing else: an exact
// path match, no host, GET only, and no percent-encoded separators or dot segments
// smuggled past the decoder. Everything else is refused.
bool isStartPageRequest(const QUrl& requestUrl, const QByteArray& method,
                        const QString& expectedPath);

// The same three values for the running program.
QString currentStartPageAddress();
QString currentStartPagePath();

}  // namespace browser
