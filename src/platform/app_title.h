#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace platform {

// The title the application carries whenever no window is hidden.
inline constexpr char16_t kApplicationTitle[] = u"Hushleaf Browser";
inline QString applicationTitle() { return QString::fromUtf16(kApplicationTitle); }

// The process-wide application title. It is our own value, not Qt's application
// name: AutoHide empties it while a window is hidden, and captions are built from it.
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

// Sets a top-level window's caption. Qt puts its application name on the X window for an
// empty title; here an empty caption reads empty to anyone looking, once the window has
// its native window (call again from its showEvent for a window not yet shown).
void setCaption(QWidget* window, const QString& caption);

}  // namespace platform
