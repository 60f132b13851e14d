// The default dialogs of cFileDialog are the program's own, from the platform layer.
// Kept out of the core library so that it needs no widgets.
#include "dialogs/c_file_dialog.h"
#include "platform/file_dialog.h"

namespace dialogs {

cFileDialog::cFileDialog()
    : cFileDialog(FileDialogPlatform{&platform::GetOpenFileName, &platform::GetSaveFileName}) {}

}  // namespace dialogs
