#pragma once

#include "dialogs/file_dialog_rules.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QFileDialog;
class QWidget;

namespace dialogs {

// The filter File > Open sets; translated where it is set, in this class's context.
inline constexpr char kOpenCommandFilter[] = QT_TRANSLATE_NOOP(
    "dialogs::OpenSaveDialog",
    "Web page (*.htm;*.html)|*.htm;*.html|Supported image formats|*.gif;*.tif;*.pcd;*.jpg;"
    "*.wmf;*.tga;*.jpeg;*.ras;*.png;*.eps;*.bmp;*.pcx|Text formats (*.txt;*.doc)|*.txt;*.doc|"
    "All files (*.*)|*.*");

// Asks the user for a file to open or save with Qt's own file dialog, window-modal over
// the owner. The settings persist between shows; the outcome arrives later, as accepted()
// (fileName() and filterIndex() then hold the choice) or failed(). Every error of the
// class, a setter's too, is reported through failed(), as it happens.
class OpenSaveDialog : public QObject {
  Q_OBJECT

 public:
  // The values keep the bits callers have always stored.
  enum Option {
    ReadOnly = 0x1,  // the dialog offers no renaming, deleting or new folders
    OverwritePrompt = 0x2,
    AllowMultiSelect = 0x200,  // open only
  };
  Q_DECLARE_FLAGS(Options, Option)

  explicit OpenSaveDialog(QObject* parent = nullptr);
  ~OpenSaveDialog() override;

  [[nodiscard]] bool cancelError() const { return m_cancelError; }
  // Whether a cancelled dialog reports the cancel error through failed().
  void setCancelError(bool cancelError) { m_cancelError = cancelError; }

  // A path, or after a multi-selection its text (see multiSelectionText()).
  [[nodiscard]] const QString& fileName() const { return m_fileName; }
  // Stores the name; longer than kMaxFileName it then reports invalid-argument.
  void setFileName(const QString& fileName);

  [[nodiscard]] const QString& filter() const { return m_filter; }
  // Stores the text; longer than kMaxFilter it reports overflow and the dialog keeps
  // showing the filters it had.
  void setFilter(const QString& filter);

  // 1-based; after a dialog, the filter the user chose there.
  [[nodiscard]] int filterIndex() const { return m_filterIndex; }
  void setFilterIndex(int filterIndex) { m_filterIndex = filterIndex; }

  [[nodiscard]] const QString& defaultExt() const { return m_defaultExt; }
  void setDefaultExt(const QString& defaultExt) { m_defaultExt = defaultExt; }

  // Empty: the dialog's own title.
  [[nodiscard]] const QString& dialogTitle() const { return m_dialogTitle; }
  void setDialogTitle(const QString& title) { m_dialogTitle = title; }

  [[nodiscard]] Options options() const { return m_options; }
  void setOptions(Options options) { m_options = options; }

  // The window the dialog is modal to (not owned).
  [[nodiscard]] QWidget* owner() const { return m_owner; }
  void setOwner(QWidget* owner) { m_owner = owner; }

  [[nodiscard]] const QString& initDir() const { return m_initDir; }
  void setInitDir(const QString& folder) { m_initDir = folder; }

  // Shows the dialog and returns at once. A file name too long for the dialog reports
  // invalid-argument instead; a show while one is open only raises it.
  void showOpen();
  void showSave();

  // fileName() split after a multi-selection; nothing, and invalid-argument reported,
  // when it holds none.
  std::optional<MultiFileName> parseMultiFileName();

 signals:
  void accepted();
  void failed(const dialogs::FileDialogError& error);

 private:
  void show(bool save);
  void finish(QFileDialog* dialog, bool ok, bool multi);
  void fail(int number) { emit failed(fileDialogError(number)); }

  QPointer<QFileDialog> m_dialog;
  QPointer<QWidget> m_owner;
  QString m_fileName;
  QString m_filter;
  QStringList m_nameFilters;
  QString m_defaultExt;
  QString m_dialogTitle;
  QString m_initDir;
  Options m_options;
  int m_filterIndex = 1;
  bool m_cancelError = false;
};

}  // namespace dialogs

Q_DECLARE_OPERATORS_FOR_FLAGS(dialogs::OpenSaveDialog::Options)
