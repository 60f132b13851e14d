#pragma once
// The file dialog's rules that need no widget: the filter text, the text a
// multi-selection is handed back as, and the errors the dialog class reports.

#include <QString>
#include <QStringList>

#include <optional>

namespace dialogs {

// Error numbers callers of the file dialog have always inspected.
inline constexpr int kErrInvalidArgument = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrCancel = 32755;

// Longest file name, multi-selection and filter text the class takes or returns.
inline constexpr int kMaxFileName = 1024;
inline constexpr int kMaxMultiFileName = 8192;
inline constexpr int kMaxFilter = 32767;

// An error of the file dialog: number, source ("<executable>.cFileDialog") and description.
struct FileDialogError {
  int number = 0;
  QString source;
  QString description;
};

// The error with this number, its description and this program's source text.
FileDialogError fileDialogError(int number);

// The filter text "Description|*.a;*.b|..." as Qt name filters "Description (*.a *.b)".
// A ":" separates like "|"; the list ends at the first empty field after the first one; a
// description without patterns is dropped; "*.*" becomes "*", which is what it means here.
QStringList nameFilters(const QString& filter);

// The selection a multi-selection open hands back in the file name: the folder the files
// share (no trailing "/" unless it is "/"), NUL, each name relative to it followed by NUL,
// then a closing NUL. One file is its full path followed by NUL NUL. Takes one path or more.
QString multiSelectionText(const QStringList& paths);

// A multi-selection split into its folder and names. One file gives the folder with its
// trailing "/" and the bare name; several give the folder without it.
struct MultiFileName {
  QString folder;
  QStringList files;
};

// Nothing when the text holds no closing double NUL (a name set by hand, a single choice).
std::optional<MultiFileName> splitMultiFileName(const QString& fileName);

}  // namespace dialogs
