#pragma once

#include <QObject>
#include <QString>

namespace platform {

// The title the application carries whenever no window is hidden.
inline constexpr char16_t kApplicationTitle[] = u"Hushleaf Browser";
inline QString applicationTitle() { return QString::fromUtf16(kApplicationTitle); }

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
