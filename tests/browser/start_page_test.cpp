#include "browser/start_page.h"
#include "browser/page_properties.h"

#include <gtest/gtest.h>
#include <QUrl>

using namespace browser;

namespace {
const QString kDir = QStringLiteral("/usr/local/bin");
const QString kPath = startPagePath(kDir, QStringLiteral("hushleaf-browser"));
const QString kAddress = startPageAddress(kDir, QStringLiteral("hushleaf-browser"));

bool accepts(const QString& address, const QByteArray& method = "GET") {
  return isStartPageRequest(QUrl(address), method, kPath);
}
}  // namespace

TEST(StartPage, AddressIsBuiltWithBackslashAndExe) {
  EXPECT_EQ(kAddress, QStringLiteral("res:///usr/local/bin\\hushleaf-browser.exe/page.htm"));
  EXPECT_EQ(startPageAddress(QStringLiteral("/opt/a b"), QStringLiteral("x")),
            QStringLiteral("res:///opt/a b\\x.exe/page.htm"));
}

TEST(StartPage, HandlerAcceptsExactlyTheStartPage) {
  EXPECT_TRUE(accepts(kAddress));
  // Chromium hands the backslash over percent-encoded.
  EXPECT_TRUE(accepts(QStringLiteral("res:///usr/local/bin%5Chushleaf-browser.exe/page.htm")));
  // Query and fragment do not name another resource.
  EXPECT_TRUE(accepts(kAddress + QStringLiteral("?x=1#top")));
}

TEST(StartPage, HandlerRefusesEverythingElse) {
  EXPECT_FALSE(accepts(kAddress, "POST"));
  EXPECT_FALSE(accepts(QStringLiteral("res:///usr/local/bin\\hushleaf-browser.exe/PAGE.HTM")));
  EXPECT_FALSE(accepts(QStringLiteral("res:///usr/local/bin\\hushleaf-browser.exe/other.htm")));
  EXPECT_FALSE(accepts(QStringLiteral("res:///usr/local/bin/hushleaf-browser/page.htm")));
  EXPECT_FALSE(accepts(QStringLiteral("res:///etc/passwd")));
  EXPECT_FALSE(
      accepts(QStringLiteral("res:///usr/local/bin\\hushleaf-browser.exe/../../../../etc/passwd")));
  EXPECT_FALSE(accepts(
      QStringLiteral("res:///usr/local/bin\\hushleaf-browser.exe/%2e%2e/%2e%2e/etc/page.htm")));
  EXPECT_FALSE(
      accepts(QStringLiteral("res:///usr%2Flocal%2Fbin%5Chushleaf-browser.exe%2Fpage.htm")));
  EXPECT_FALSE(accepts(QStringLiteral("res://evil/usr/local/bin\\hushleaf-browser.exe/page.htm")));
  EXPECT_FALSE(accepts(QStringLiteral("http:///usr/local/bin\\hushleaf-browser.exe/page.htm")));
  EXPECT_FALSE(accepts(QString()));
  EXPECT_FALSE(isStartPageRequest(QUrl(kAddress), "GET", QString()));
}

TEST(PageProperties, RowsNameProtocolTypeAndSecurity) {
  const auto rows = describePage(QStringLiteral("https://example.org/a"), QStringLiteral("A"),
                                 QStringLiteral("text/html"), true);
  ASSERT_EQ(rows.size(), 5);
  EXPECT_EQ(rows[0].second, QStringLiteral("A"));
  EXPECT_EQ(rows[2].second, QStringLiteral("HyperText Transfer Protocol with Privacy"));
  EXPECT_EQ(rows[3].second, QStringLiteral("HTML Document (text/html)"));
  EXPECT_EQ(rows[4].second, QStringLiteral("Encrypted (secure connection)"));
  EXPECT_EQ(protocolName(QStringLiteral("file")), QStringLiteral("File Protocol"));
}
