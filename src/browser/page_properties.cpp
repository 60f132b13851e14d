#include "browser/page_properties.h"

#include <QUrl>

namespace browser {

QString protocolName(const QString& scheme) {
  const QString s = scheme.toLower();
  if (s == QLatin1String("http")) {
    return QStringLiteral("HyperText Transfer Protocol");
  }
  if (s == QLatin1String("https")) {
    return QStringLiteral("HyperText Transfer Protocol with Privacy");
  }
  if (s == QLatin1String("file")) {
    return QStringLiteral("File Protocol");
  }
  if (s == QLatin1String("res")) {
    return QStringLiteral("Resource Protocol");
  }
  if (s == QLatin1String("view-source")) {
    return QStringLiteral("Source View");
  }
  if (s.isEmpty()) {
    return QStringLiteral("Unknown Protocol");
  }
  return s + QStringLiteral(": Protocol");
}

QList<QPair<QString, QString>> describePage(const QString& address, const QString& title,
                                            const QString& mimeType, bool secure) {
  const QUrl url(address);
  QString type = mimeType.isEmpty() ? QStringLiteral("Not available") : mimeType;
  if (mimeType == QLatin1String("text/html")) {
    type = QStringLiteral("HTML Document (text/html)");
  }
  return {
      {QStringLiteral("Title:"), title.isEmpty() ? QStringLiteral("(none)") : title},
      {QStringLiteral("Address:"), address},
      {QStringLiteral("Protocol:"), protocolName(url.scheme())},
      {QStringLiteral("Type:"), type},
      {QStringLiteral("Connection:"),
       secure ? QStringLiteral("Encrypted (secure connection)") : QStringLiteral("Not encrypted")},
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
