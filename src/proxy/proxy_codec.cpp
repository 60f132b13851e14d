#include "proxy/proxy_codec.h"

#include <QStringList>

namespace proxy {

namespace {

constexpr QChar kSpace = u' ';

QString trimmedEnd(QString text) {
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1) == kSpace) {
    --end;
  }
  text.truncate(end);
  return text;
}

// Only U+0020 counts: tabs and line breaks are content.
QString trimmedSpaces(const QString& text) {
  qsizetype begin = 0;
  while (begin < text.size() && text.at(begin) == kSpace) {
    ++begin;
  }
  return trimmedEnd(text.mid(begin));
}

QString latin(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

const ProxyProtocolInfo& protocolInfo(ProxyProtocol protocol) {
  for (const ProxyProtocolInfo& info : kBuildOrder) {
    if (info.protocol == protocol) {
      return info;
    }
  }
  return kBuildOrder.front();  // unreachable for a valid enumerator
}

QString buildProxyList(const ProxyRows& rows) {
  QString list;
  for (const ProxyProtocolInfo& info : kBuildOrder) {
    const ProxyServerRow& row = rows[info.protocol];
    if (row.host.isEmpty() || row.port.isEmpty()) {
      continue;
    }
    list += latin(info.prefix) + row.host + u':' + row.port;
    if (info.protocol != ProxyProtocol::Ftp) {
      list += kSpace;
    }
  }
  return trimmedEnd(std::move(list));
}

QString buildBypassList(const QString& exceptions, bool bypassLocal) {
  QString list;
  if (!exceptions.isEmpty()) {
    list += QString(exceptions).replace(u';', kSpace);
  }
  if (bypassLocal) {
    list += kSpace + kLocalEntry.toString();
  }
  return trimmedSpaces(list);
}

ProxyRows parseProxyList(const QString& proxyList, ProxyRows rows) {
  if (proxyList.isEmpty()) {
    return rows;
  }
  const QStringList entries = proxyList.split(kSpace, Qt::KeepEmptyParts, Qt::CaseSensitive);
  for (const QString& entry : entries) {
    for (const ProxyProtocol protocol : kParseOrder) {
      const QString prefix = latin(protocolInfo(protocol).prefix);
      if (!entry.startsWith(prefix, Qt::CaseSensitive)) {
        continue;
      }
      const QString rest = entry.mid(prefix.size());
      const qsizetype colon = rest.indexOf(u':');
      ProxyServerRow& row = rows[protocol];
      if (colon < 0) {
        row.host = rest;
        row.port.clear();
      } else {
        row.host = rest.left(colon);
        row.port = rest.mid(colon + 1);
      }
      break;
    }
  }
  return rows;
}

BypassFields parseBypassList(const QString& bypassList, BypassFields fields) {
  if (bypassList.isEmpty()) {
    return fields;
  }
  const QStringList entries = bypassList.split(kSpace, Qt::KeepEmptyParts, Qt::CaseSensitive);
  QString collected;
  bool any = false;
  for (const QString& entry : entries) {
    if (entry == kLocalEntry) {
      fields.bypassLocal = true;
      continue;
    }
    collected += entry + u';';
    any = true;
  }
  if (any) {
    collected.chop(1);
    fields.exceptions = collected;
  }
  return fields;
}

}  // namespace proxy
