#include "browser/start_page.h"

#include <gtest/gtest.h>
#include <QUrl>

using namespace browser;

TEST(StartPage, OnlyTheExactAddressAsBuiltIsTheStartPage) {
  const QString path = startPagePath("/opt/a b", "hushleaf");
  ASSERT_EQ(startPageAddress("/opt/a b", "hushleaf"), "res://" + path);
  ASSERT_EQ(path, "/opt/a b\\hushleaf.exe/page.htm");
  const struct {
    const char* address;
    bool startPage;
  } rows[] = {
      {"res:///opt/a b\\hushleaf.exe/page.htm", true},
      {"res:///opt/a%20b%5Chushleaf.exe/page.htm", true},  // as the engine hands it over
      {"res:///opt/a b\\hushleaf.exe/page.htm?x=1#top", true},
      {"res:///opt/a b\\hushleaf.exe/PAGE.HTM", false},
      {"res:///opt/a b\\hushleaf.exe/other.htm", false},
      {"res:///opt/a b/hushleaf.exe/page.htm", false},
      {"res:///opt/a b\\hushleaf.exe/../../../etc/passwd", false},
      {"res:///opt/a b\\hushleaf.exe/%2e%2e/hushleaf.exe/page.htm", false},
      {"res:///opt%2Fa b%5Chushleaf.exe%2Fpage.htm", false},
      {"res://evil/opt/a b\\hushleaf.exe/page.htm", false},
      {"res://user@/opt/a b\\hushleaf.exe/page.htm", false},
      {"http:///opt/a b\\hushleaf.exe/page.htm", false},
      {"", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(isStartPageRequest(QUrl(row.address), "GET", path), row.startPage) << row.address;
  }
  EXPECT_FALSE(isStartPageRequest(QUrl("res://" + path), "POST", path));
  EXPECT_FALSE(isStartPageRequest(QUrl("res://" + path), "GET", QString()));
}
