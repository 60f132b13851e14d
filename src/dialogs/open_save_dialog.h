#pragma once

#include "platform/open_file_name.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <stdexcept>

class QWidget;

namespace dialogs {

// The record the dialogs take and fill, with its flag bits, is the platform's.
using platform::OpenFileName;

// Error numbers the class raises.
inline constexpr std::int32_t kErrInvalidArgument = 5;
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrCancel = 32755;

inline constexpr int kFileBufferSize = 1024;
inline constexpr int kMultiFileBufferSize = 8192;
inline constexpr int kMaxFilterLength = 32767;

// The filter File > Open sets, with flags 5 (OFN_READONLY | OFN_HIDEREADONLY).
inline constexpr char kOpenCommandFilter[] =
    "Web page (*.htm;*.html)|*.htm;*.html|Supported image formats|*.gif;*.tif;*.pcd;*.jpg;"
    "*.wmf;*.tga;*.jpeg;*.ras;*.png;*.eps;*.bmp;*.pcx|Text formats (*.txt;*.doc)|*.txt;*.doc|"
    "All files (*.*)|*.*";
inline constexpr std::int32_t kOpenCommandFlags =
    platform::kOfnReadOnly | platform::kOfnHideReadOnly;

// An error raised by OpenSaveDialog: number, source ("<executable>.cFileDialog") and
// description, as callers of the class have always inspected them.
class FileDialogError : public std::runtime_error {
 public:
  FileDialogError(std::int32_t number, QString source, QString description);

  [[nodiscard]] std::int32_t number() const noexcept { return m_number; }
  [[nodiscard]] const QString& source() const noexcept { return m_source; }
  [[nodiscard]] const QString& description() const noexcept { return m_description; }

 private:
  std::int32_t m_number;
  QString m_source;
  QString m_description;
};

// The dialog calls: nonzero (true) when the user chose a file, false when the user
// cancelled or the dialog failed. A missing function counts as a failed dialog.
using FileDialogCall = std::function<bool(OpenFileName&)>;
struct FileDialogPlatform {
  FileDialogCall GetOpenFileName;
  FileDialogCall GetSaveFileName;
};

// The text up to, not including, its first NUL; the whole text when it holds none.
QString StripNull(const QString& text);

// The filter as the dialogs read it: every "|" and ":" becomes NUL, then NUL NUL.
QString ConvertFilter(const QString& filter);

// The result of splitting a multi-selection.
struct MultiFileName {
  QString folder;
  QStringList files;
  std::int32_t fileCount = 0;
};

// Splits a multi-selection buffer (directory NUL names... NUL NUL, or one full path
// NUL NUL). Without the closing double NUL it fails with the invalid-argument error.
MultiFileName ParseMultiFileName(const QString& fileName, const QString& errorSource);

// "<executable base name>.cFileDialog".
QString FileDialogErrorSource();

// The open and save dialogs behind properties. Property reads and writes follow the
// record: some live in it, others are held here and copied in at each show.
class OpenSaveDialog {
 public:
  // The program's own dialogs (the Qt layer); defined in the widgets library.
  OpenSaveDialog();
  explicit OpenSaveDialog(FileDialogPlatform platform);

  [[nodiscard]] bool CancelError() const { return m_cancelError; }
  void setCancelError(bool cancelError) { m_cancelError = cancelError; }

  [[nodiscard]] const QString& FileName() const { return m_fileName; }
  // Stores the value; longer than 1024 characters it then throws invalid-argument.
  void setFileName(const QString& fileName);

  [[nodiscard]] const QString& FileTitle() const { return m_fileTitle; }
  void setFileTitle(const QString& value) { m_fileTitle = value; }

  [[nodiscard]] const QString& Filter() const { return m_filter; }
  // Stores the text; longer than 32767 characters it throws overflow and leaves the
  // record's filter as it was.
  void setFilter(const QString& filter);

  [[nodiscard]] std::int32_t FilterIndex() const { return m_ofn.nFilterIndex; }
  void setFilterIndex(std::int32_t filterIndex) { m_ofn.nFilterIndex = filterIndex; }

  [[nodiscard]] const QString& DefaultExt() const { return m_defaultExt; }
  void setDefaultExt(const QString& defaultExt);

  [[nodiscard]] QString DialogTitle() const { return m_ofn.lpstrTitle.value_or(QString()); }
  void setDialogTitle(const QString& value) { m_ofn.lpstrTitle = value; }

  [[nodiscard]] std::int32_t flags() const { return m_flags; }
  void setFlags(std::int32_t value) { m_flags = value; }

  // The owner window (borrowed; it must outlive any show).
  [[nodiscard]] QWidget* hwnd() const { return m_ofn.hwndOwner; }
  void setHwnd(QWidget* value) { m_ofn.hwndOwner = value; }

  [[nodiscard]] const QString& InitDir() const { return m_initDir; }
  void setInitDir(const QString& value);

  // Show the dialog; on success FileName holds the choice. A cancelled or failed
  // dialog throws the cancel error when CancelError is set, and changes nothing else.
  void ShowOpen();
  void ShowSave();

  // Splits FileName after a multi-selection. On error the outputs are untouched.
  void ParseMultiFileName(QString& folder, QStringList& files, std::int32_t& fileCount) const;

  // The record as the last show left it (for inspection).
  [[nodiscard]] const OpenFileName& record() const { return m_ofn; }

 private:
  enum class Kind { Open, Save };
  void show(Kind kind);
  [[noreturn]] void fail(std::int32_t number, const QString& description) const;

  FileDialogPlatform m_platform;
  OpenFileName m_ofn;
  bool m_cancelError = false;
  QString m_fileName;
  QString m_fileTitle;
  QString m_filter;
  QString m_defaultExt;
  QString m_initDir;
  std::int32_t m_flags = 0;
};

}  // namespace dialogs
