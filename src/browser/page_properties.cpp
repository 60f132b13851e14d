#include "browser/page_properties.h"

#include <QCoreApplication>
#include <QUrl>

namespace browser {

QString protocolName(const QString& scheme) {
  const QString s = scheme.toLower();
  if (s == QLatin1String("http")) {
    return QCoreApplication::translate("PageProperties", "HyperText Transfer Protocol");
  }
  if (s == QLatin1String("https")) {
    return QCoreApplication::translate("PageProperties",
                                       "HyperText Transfer Protocol with Privacy");
  }
  if (s == QLatin1String("file")) {
    return QCoreApplication::translate("PageProperties", "File Protocol");
  }
  if (s == QLatin1String("res")) {
    return QCoreApplication::translate("PageProperties", "Resource Protocol");
  }
  if (s == QLatin1String("view-source")) {
    return QCoreApplication::translate("PageProperties", "Source View");
  }
  if (s.isEmpty()) {
    return QCoreApplication::translate("PageProperties", "Unknown Protocol");
  }
  return QCoreApplication::translate("PageProperties", "%1: Protocol").arg(s);
}

QList<QPair<QString, QString>> describePage(const QString& address, const QString& title,
                                            const QString& mimeType, bool secure) {
  const QUrl url(address);
  QString type = mimeType.isEmpty() ? QCoreApplication::translate("PageProperties", "Not available")
                                    : mimeType;
  if (mimeType == QLatin1String("text/html")) {
    type = QCoreApplication::translate("PageProperties", "HTML Document (text/html)");
  }
  return {
      {QCoreApplication::translate("PageProperties", "Title:"),
       title.isEmpty() ? QCoreApplication::translate("PageProperties", "(none)") : title},
      {QCoreApplication::translate("PageProperties", "Address:"), address},
      {QCoreApplication::translate("PageProperties", "Protocol:"), protocolName(url.scheme())},
      {QCoreApplication::translate("PageProperties", "Type:"), type},
      {QCoreApplication::translate("PageProperties", "Connection:"),
       secure ? QCoreApplication::translate("PageProperties", "Encrypted (secure connection)")
              : QCoreApplication::translate("PageProperties", "Not encrypted")},
  };
}

QString trimSpaces(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text.at(begin) == QLatin1Char(' ')) {
    ++begin;
  }
  while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
    --end;
  }
  return text.mid(begin, end - begin);
}

}  // namespace browser
