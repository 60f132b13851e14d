#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

namespace dialogs {

// The product's web page, the same address the start page links to.
inline constexpr char kProductWebPage[] = "http://www.hushleafbrowser.example/";

// Where a box of this outer size sits centred on the screen, relative to the screen's
// corner: half of each difference, truncated toward zero.
QPoint centredPosition(QSize screen, QSize box);

// "Version " + major + "." + minor, plain decimal numbers, no revision.
QString versionText(int major, int minor);

}  // namespace dialogs
