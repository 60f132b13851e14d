// The default dialogs of OpenSaveDialog are the program's own, from the platform layer.
// Kept out of the core library so that it needs no widgets.
#include "dialogs/open_save_dialog.h"
#include "platform/file_dialog.h"

namespace dialogs {

OpenSaveDialog::OpenSaveDialog()
    : OpenSaveDialog(FileDialogPlatform{&platform::GetOpenFileName, &platform::GetSaveFileName}) {}

}  // namespace dialogs
