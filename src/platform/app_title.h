#pragma once

#include <QObject>
#include <QString>

namespace platform {

// The process-wide application title. It is our own value, not Qt's application
// name: ZodorAzev empties it while a window is hidden, and captions are built from it.
class AppTitle : public QObject {
  Q_OBJECT

 public:
  static AppTitle& instance();
  static QString get() { return instance().m_title; }
  static void set(const QString& title);

 signals:
  void changed(const QString& title);

 private:
  AppTitle() = default;
  QString m_title;
};

}  // namespace platform
