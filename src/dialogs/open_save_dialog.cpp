#include "dialogs/open_save_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace dialogs {

OpenSaveDialog::OpenSaveDialog(QObject* parent) : QObject(parent) {}

OpenSaveDialog::~OpenSaveDialog() {
  if (m_dialog) {
    m_dialog->disconnect(this);
    delete m_dialog;
  }
}

void OpenSaveDialog::setFileName(const QString& fileName) {
  m_fileName = fileName;
  if (m_fileName.size() > kMaxFileName) {
    fail(kErrInvalidArgument);
  }
}

void OpenSaveDialog::setFilter(const QString& filter) {
  m_filter = filter;
  if (m_filter.size() > kMaxFilter) {
    fail(kErrOverflow);
    return;
  }
  m_nameFilters = nameFilters(m_filter);
}

void OpenSaveDialog::showOpen() { show(false); }

void OpenSaveDialog::showSave() { show(true); }

void OpenSaveDialog::show(bool save) {
  if (m_dialog) {
    m_dialog->raise();
    m_dialog->activateWindow();
    return;
  }
  const bool multi = !save && m_options.testFlag(AllowMultiSelect);
  if (m_fileName.size() > (multi ? kMaxMultiFileName : kMaxFileName)) {
    fail(kErrInvalidArgument);
    return;
  }

  auto* dialog = new QFileDialog(m_owner);
  m_dialog = dialog;
  // Qt's own widget: the same dialog on every desktop, under Xvfb and in tests.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  // The descriptions are shown as given, like the filter text they come from.
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(save    ? QFileDialog::AnyFile
                      : multi ? QFileDialog::ExistingFiles
                              : QFileDialog::ExistingFile);
  dialog->setOption(QFileDialog::ReadOnly, m_options.testFlag(ReadOnly));
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !m_options.testFlag(OverwritePrompt));
  if (!m_dialogTitle.isEmpty()) {
    dialog->setWindowTitle(m_dialogTitle);
  }
  if (!m_nameFilters.isEmpty()) {
    dialog->setNameFilters(m_nameFilters);
    const bool known = m_filterIndex >= 1 && m_filterIndex <= m_nameFilters.size();
    dialog->selectNameFilter(m_nameFilters.at(known ? m_filterIndex - 1 : 0));
  }
  dialog->setDefaultSuffix(m_defaultExt);  // Qt drops a leading "."

  const QDir base(m_initDir.isEmpty() ? QDir::currentPath() : m_initDir);
  // After a multi-selection the name starts with the folder of the files chosen.
  const QString name = m_fileName.left(m_fileName.indexOf(QChar(u'\0')));
  const QFileInfo initial(base, name);
  if (!name.isEmpty() && initial.isDir()) {
    dialog->setDirectory(initial.absoluteFilePath());
  } else if (!name.isEmpty()) {
    // A path in the name names the folder to start in.
    dialog->setDirectory(initial.absolutePath());
    dialog->selectFile(initial.fileName());
  } else {
    dialog->setDirectory(base);
  }

  connect(dialog, &QDialog::finished, this, [this, dialog, multi](int result) {
    finish(dialog, result == QDialog::Accepted, multi);
  });
  dialog->open();
}

void OpenSaveDialog::finish(QFileDialog* dialog, bool ok, bool multi) {
  // Gone before anyone hears the outcome, so a handler may show the next dialog at once.
  dialog->deleteLater();
  m_dialog = nullptr;
  const QStringList chosen = ok ? dialog->selectedFiles() : QStringList();
  const QString text = chosen.isEmpty() ? QString()
                       : multi          ? multiSelectionText(chosen)
                                        : chosen.front();
  // A choice longer than the class hands back fails like a cancel, never cut off.
  if (text.isEmpty() || text.size() > (multi ? kMaxMultiFileName : kMaxFileName)) {
    if (m_cancelError) {
      fail(kErrCancel);
    }
    return;
  }
  m_fileName = text;
  // The list's position: the filter's text comes back shortened to its description.
  const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  if (types != nullptr && types->currentIndex() >= 0 &&
      types->currentIndex() < m_nameFilters.size()) {
    m_filterIndex = types->currentIndex() + 1;
  }
  emit accepted();
}

std::optional<MultiFileName> OpenSaveDialog::parseMultiFileName() {
  std::optional<MultiFileName> parsed = splitMultiFileName(m_fileName);
  if (!parsed) {
    fail(kErrInvalidArgument);
  }
  return parsed;
}

}  // namespace dialogs
