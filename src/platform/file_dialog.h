#pragma once

#include "platform/open_file_name.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// The system's open and save dialogs (GetOpenFileNameA / GetSaveFileNameA), shown as
// Qt's own file dialog widget, modal and owned by ofn.hwndOwner. They read the record
// (filter, filter index, initial file and folder, title, default extension, flags) and,
// when the user chose a file, write the choice back in the record's own format and
// return true. Cancel, or a choice that does not fit nMaxFile, returns false and leaves
// the buffers as they were. Honoured flags: OFN_ALLOWMULTISELECT (open only),
// OFN_READONLY (the dialog offers no file-system changes), OFN_OVERWRITEPROMPT (save).
bool GetOpenFileName(OpenFileName& ofn);
bool GetSaveFileName(OpenFileName& ofn);

// The record's filter (description NUL patterns NUL ... NUL NUL, patterns separated by
// ";") as Qt name filters "Description (*.a *.b)". "*.*" becomes "*", which is what it
// means here. A trailing description without patterns is dropped.
QStringList nameFiltersFromRecord(const std::optional<QString>& lpstrFilter);

// The chosen absolute paths as the record's file buffer, NUL-padded to capacity: one
// path NUL; or, for a multi-selection of several files, folder NUL names... NUL NUL
// (the folder has no trailing "/" unless it is "/"). Nothing when it does not fit.
std::optional<QString> selectionBuffer(const QStringList& paths, bool multiSelect, int capacity);

}  // namespace platform
