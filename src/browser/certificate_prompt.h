#pragma once

#include <QString>

class QWebEngineCertificateError;
class QWidget;

namespace browser {

// The warning shown when a site's certificate fails: which site, what is wrong, and
// what continuing means.
[[nodiscard]] QString certificateWarningText(const QString& host, const QString& problem);

// Asks the user, in a window-modal box over parent, whether to continue to a site whose
// certificate failed. The error must have been deferred; it is answered when the box
// closes: accepted only on an explicit "Continue", rejected on everything else (Go
// Back, Escape, closing the box or its window). Chromium keeps an accepted exception
// for the rest of the session only; nothing is stored. While a window already asks,
// further errors in it are refused without a question.
void askCertificateException(QWidget* parent, const QWebEngineCertificateError& error);

}  // namespace browser
