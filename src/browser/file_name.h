#pragma once

#include <QString>

namespace browser {

// A name a page or a title chose, made safe as a file name: characters a file name cannot
// carry, control characters and those that reorder text (bidi controls, which can make
// "x.exe" read as "exe.x") become "_", as do leading dots (a dot-file hides); trimmed.
QString cleanFileName(const QString& name);

}  // namespace browser
