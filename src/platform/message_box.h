#pragma once

#include <QString>

class QWidget;

namespace platform {

// Style bits of the message box: buttons in the low bits, the icon above them.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbYesNo = 4;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

// Results.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Shows a modal message box with the given text, style and title and waits until the
// user closes it. Modal to the whole application; placed over `owner` when given.
// Closing it by its close box counts as its cancelling button (or OK when it has one).
int MsgBox(const QString& prompt, int style, const QString& title, QWidget* owner = nullptr);

}  // namespace platform
