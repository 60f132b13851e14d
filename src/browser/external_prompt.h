#pragma once

#include <QString>

#include <functional>

class QUrl;
class QWidget;

namespace browser {

// Object name of the question, so a window can tell whether one is open.
inline constexpr const char* kExternalQuestionName = "OpenWithAnotherProgram";

// The question's text: the scheme and the address, the address cut to a readable length.
QString externalQuestionText(const QUrl& url);

// Asks, window-modal on parent, whether an address the engine does not show itself may go
// to another program; "Cancel" is the default. open runs only on "Open". While parent
// shows such a question already, no other is asked and the address is dropped.
void askOpenExternally(QWidget* parent, const QUrl& url, std::function<void()> open);

}  // namespace browser
