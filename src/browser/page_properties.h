#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace browser {

// The rows of a page's properties sheet (label, value), in display order.
QList<QPair<QString, QString>> describePage(const QString& address, const QString& title,
                                            const QString& mimeType, bool secure);

// Human name of a URL scheme, e.g. "HyperText Transfer Protocol" for http.
QString protocolName(const QString& scheme);

// Leading and trailing spaces removed (only spaces; tabs and other blanks stay), as the
// status bar and the caption show the engine's texts.
QString trimSpaces(const QString& text);

}  // namespace browser
