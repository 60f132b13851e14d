#include "dialogs/open_save_dialog.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

namespace dialogs {

namespace {

constexpr QChar kNul(u'\0');
const QString kDoubleNul(2, kNul);

const QString& invalidArgumentText() {
  static const QString text = QStringLiteral("Invalid procedure call or argument");
  return text;
}

// The text followed by NUL filler up to size characters (the caller checked the length).
QString padded(const QString& text, int size) { return text + QString(size - text.size(), kNul); }

}  // namespace

FileDialogError::FileDialogError(std::int32_t number, QString source, QString description)
    : std::runtime_error(description.toStdString()),
      m_number(number),
      m_source(std::move(source)),
      m_description(std::move(description)) {}

QString StripNull(const QString& text) {
  const qsizetype at = text.indexOf(kNul);
  return at < 0 ? text : text.left(at);
}

QString ConvertFilter(const QString& filter) {
  QString converted = filter;
  for (QChar& c : converted) {
    if (c == u'|' || c == u':') {
      c = kNul;
    }
  }
  return converted + kDoubleNul;
}

QString FileDialogErrorSource() {
  // Without an application object (core tests, fuzzers) the process image names us.
  const QString exe = QCoreApplication::instance() != nullptr
                          ? QCoreApplication::applicationFilePath()
                          : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  return QFileInfo(exe).completeBaseName() + QStringLiteral(".cFileDialog");
}

MultiFileName ParseMultiFileName(const QString& fileName, const QString& errorSource) {
  const qsizetype end = fileName.indexOf(kDoubleNul);
  if (end < 0) {
    throw FileDialogError(kErrInvalidArgument, errorSource, invalidArgumentText());
  }
  const QString selection = fileName.left(end);
  MultiFileName result;
  const qsizetype firstNul = selection.indexOf(kNul);
  if (firstNul < 0) {
    // One file: a full path. Only the selection is searched and returned, so the NUL
    // filler and whatever follows the double NUL never leak into the name.
    result.fileCount = 1;
    const qsizetype slash = selection.lastIndexOf(u'/');
    if (slash < 0) {
      result.files = QStringList{selection};
    } else {
      result.folder = selection.left(slash + 1);
      result.files = QStringList{selection.mid(slash + 1)};
    }
    return result;
  }
  result.folder = selection.left(firstNul);
  result.files = selection.mid(firstNul + 1).split(kNul);
  result.fileCount = static_cast<std::int32_t>(result.files.size());
  return result;
}

OpenSaveDialog::OpenSaveDialog(FileDialogPlatform platform) : m_platform(std::move(platform)) {
  m_ofn.lStructSize = platform::kOpenFileNameSize;
  m_ofn.nFilterIndex = 1;
}

void OpenSaveDialog::fail(std::int32_t number, const QString& description) const {
  throw FileDialogError(number, FileDialogErrorSource(), description);
}

void OpenSaveDialog::setFileName(const QString& fileName) {
  m_fileName = fileName;
  if (m_fileName.size() > kFileBufferSize) {
    fail(kErrInvalidArgument, invalidArgumentText());
  }
}

void OpenSaveDialog::setFilter(const QString& filter) {
  m_filter = filter;
  if (m_filter.size() > kMaxFilterLength) {
    fail(kErrOverflow, QStringLiteral("Overflow"));
  }
  m_ofn.lpstrFilter = ConvertFilter(m_filter);
}

void OpenSaveDialog::setDefaultExt(const QString& defaultExt) {
  m_defaultExt = defaultExt;
  m_ofn.lpstrDefExt = m_defaultExt + kDoubleNul;
}

void OpenSaveDialog::setInitDir(const QString& value) {
  m_initDir = value;
  m_ofn.lpstrInitialDir = m_initDir + kDoubleNul;
}

void OpenSaveDialog::ShowOpen() { show(Kind::Open); }

void OpenSaveDialog::ShowSave() { show(Kind::Save); }

void OpenSaveDialog::show(Kind kind) {
  const bool multi = kind == Kind::Open && (m_flags & platform::kOfnAllowMultiSelect) != 0;
  const int size = multi ? kMultiFileBufferSize : kFileBufferSize;
  // Checked before the record is touched: a show that cannot build its buffers leaves
  // everything as it was.
  if (m_fileName.size() > size || m_fileTitle.size() > size) {
    fail(kErrInvalidArgument, invalidArgumentText());
  }
  m_ofn.Flags = multi ? (m_flags | platform::kOfnExplorer) : m_flags;
  m_ofn.lpstrFile = padded(m_fileName, size);
  m_ofn.nMaxFile = size;
  m_ofn.lpstrFileTitle = padded(m_fileTitle, size);
  m_ofn.nMaxFileTitle = size;

  const FileDialogCall& call =
      kind == Kind::Open ? m_platform.GetOpenFileName : m_platform.GetSaveFileName;
  const bool chosen = call ? call(m_ofn) : false;
  if (!chosen) {
    if (m_cancelError) {
      fail(kErrCancel, QStringLiteral("User selected cancel."));
    }
    return;
  }
  if (kind == Kind::Open && (m_ofn.Flags & platform::kOfnAllowMultiSelect) != 0) {
    m_fileName = m_ofn.lpstrFile;
  } else {
    m_fileName = StripNull(m_ofn.lpstrFile);
  }
}

void OpenSaveDialog::ParseMultiFileName(QString& folder, QStringList& files,
                                        std::int32_t& fileCount) const {
  MultiFileName parsed = dialogs::ParseMultiFileName(m_fileName, FileDialogErrorSource());
  folder = std::move(parsed.folder);
  files = std::move(parsed.files);
  fileCount = parsed.fileCount;
}

}  // namespace dialogs
