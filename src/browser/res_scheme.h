#pragma once

#include <QWebEngineUrlSchemeHandler>

namespace browser {

// Registers the res: scheme with the engine; must run before QApplication exists.
void registerResScheme();

// Serves the start page from the executable's resources under exactly one address
// and fails every other res: request. It never touches the file system.
class ResSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  explicit ResSchemeHandler(QString expectedPath, QObject* parent = nullptr);
  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  QString m_expectedPath;
};

}  // namespace browser
