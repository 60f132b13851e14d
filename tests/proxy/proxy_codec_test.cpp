// The proxy list and bypass list codec, both directions, and the dialog's rules.
#include "proxy/proxy_codec.h"
#include "proxy/proxy_form.h"

#include <gtest/gtest.h>

using namespace proxy;

namespace {

ProxyRows rowsWith(std::initializer_list<std::pair<ProxyProtocol, ProxyServerRow>> filled) {
  ProxyRows rows;
  for (const auto& [protocol, row] : filled) {
    rows[protocol] = row;
  }
  return rows;
}

// Every row filled with distinct text, to see which rows parsing leaves alone.
ProxyRows sentinelRows() {
  return rowsWith({{ProxyProtocol::Socks, {"s0", "1"}},
                   {ProxyProtocol::Secure, {"e0", "2"}},
                   {ProxyProtocol::Http, {"h0", "3"}},
                   {ProxyProtocol::Gopher, {"g0", "4"}},
                   {ProxyProtocol::Ftp, {"f0", "5"}}});
}

TEST(BuildProxyList, EmptyWhenNoRowHasBothHostAndPort) {
  EXPECT_EQ(BuildProxyList({}), "");
  EXPECT_EQ(BuildProxyList(rowsWith(
                {{ProxyProtocol::Gopher, {"alpha", ""}}, {ProxyProtocol::Http, {"", "8080"}}})),
            "");
}

TEST(BuildProxyList, EntriesInBuildOrderSeparatedBySingleSpaces) {
  EXPECT_EQ(BuildProxyList(rowsWith({{ProxyProtocol::Http, {"alpha", "8080"}},
                                     {ProxyProtocol::Secure, {"beta", "443"}}})),
            "https=beta:443 http=alpha:8080");
  EXPECT_EQ(BuildProxyList(sentinelRows()), "socks=s0:1 https=e0:2 http=h0:3 gopher=g0:4 ftp=f0:5");
}

TEST(BuildProxyList, NoSpaceAfterTheLastEntry) {
  EXPECT_EQ(BuildProxyList(rowsWith({{ProxyProtocol::Socks, {"alpha", "1080"}}})),
            "socks=alpha:1080");
  EXPECT_EQ(BuildProxyList(rowsWith({{ProxyProtocol::Ftp, {"alpha", "21"}}})), "ftp=alpha:21");
  // Spaces the user left after the last port go too; inner ones stay.
  EXPECT_EQ(BuildProxyList(rowsWith({{ProxyProtocol::Http, {" a b", "80  "}}})), "http= a b:80");
}

TEST(BuildProxyList, FieldsAreTakenAsTyped) {
  // A field of spaces is non-empty; tabs are content, not trimmed.
  EXPECT_EQ(BuildProxyList(rowsWith({{ProxyProtocol::Http, {" ", "x\t"}}})), "http= :x\t");
  EXPECT_EQ(BuildProxyList(rowsWith(
                {{ProxyProtocol::Gopher, {"h", " "}}, {ProxyProtocol::Secure, {"s", "p"}}})),
            "https=s:p gopher=h:");
}

TEST(BuildBypassList, SemicolonsBecomeSpacesAndLocalIsAppended) {
  EXPECT_EQ(BuildBypassList("a;b", true), "a b <local>");
  EXPECT_EQ(BuildBypassList("", true), "<local>");
  EXPECT_EQ(BuildBypassList("", false), "");
  EXPECT_EQ(BuildBypassList(" a;b ", false), "a b");
  EXPECT_EQ(BuildBypassList("a; b", false), "a  b");
  EXPECT_EQ(BuildBypassList(";;a;", false), "a");
  EXPECT_EQ(BuildBypassList("   ", true), "<local>");
  EXPECT_EQ(BuildBypassList("\ta\n", false), "\ta\n");
}

TEST(ParseProxyList, ReplacesOnlyTheNamedRows) {
  ProxyRows expected = sentinelRows();
  expected[ProxyProtocol::Http] = {"alpha", "8080"};
  EXPECT_EQ(ParseProxyList("http=alpha:8080", sentinelRows()), expected);

  expected = sentinelRows();
  expected[ProxyProtocol::Secure] = {"beta", "443"};
  expected[ProxyProtocol::Socks] = {"gamma", "1080"};
  expected[ProxyProtocol::Ftp] = {"delta", "21"};
  expected[ProxyProtocol::Gopher] = {"eps", "70"};
  EXPECT_EQ(
      ParseProxyList("https=beta:443 socks=gamma:1080 ftp=delta:21 gopher=eps:70", sentinelRows()),
      expected);
}

TEST(ParseProxyList, UnknownEntriesChangeNothing) {
  for (const char* list : {"", " ", "HTTP=alpha:8080", "alpha:8080", "Socks=a:1", "http:a:1",
                           "xhttp=a:1", "  http", "=a:1", "http =a:1"}) {
    EXPECT_EQ(ParseProxyList(list, sentinelRows()), sentinelRows()) << list;
  }
}

TEST(ParseProxyList, FirstColonSplitsHostFromPort) {
  const auto http = [](const char* list) { return ParseProxyList(list, {})[ProxyProtocol::Http]; };
  EXPECT_EQ(http("http=:80"), (ProxyServerRow{"", "80"}));
  EXPECT_EQ(http("http=alpha:"), (ProxyServerRow{"alpha", ""}));
  EXPECT_EQ(http("http=a:b:80"), (ProxyServerRow{"a", "b:80"}));
  EXPECT_EQ(http("http=:"), (ProxyServerRow{"", ""}));
  // A semicolon-separated list holds no space: it is one entry, the rest is its port.
  const ProxyRows rows = ParseProxyList("http=alpha:80;https=beta:443", sentinelRows());
  EXPECT_EQ(rows[ProxyProtocol::Http], (ProxyServerRow{"alpha", "80;https=beta:443"}));
  EXPECT_EQ(rows[ProxyProtocol::Secure], sentinelRows()[ProxyProtocol::Secure]);
}

TEST(ParseProxyList, PrefixWithoutColonGivesWholeRestAsHostAndEmptyPort) {
  const ProxyRows rows = ParseProxyList("http=alpha socks=", sentinelRows());
  EXPECT_EQ(rows[ProxyProtocol::Http], (ProxyServerRow{"alpha", ""}));
  EXPECT_EQ(rows[ProxyProtocol::Socks], (ProxyServerRow{"", ""}));
  // Such a row then drops out of a rebuilt list rather than producing a malformed entry.
  EXPECT_EQ(BuildProxyList(ParseProxyList("http=alpha", {})), "");
}

TEST(ParseProxyList, LaterEntriesWinAndEmptyEntriesAreSkipped) {
  const ProxyRows rows = ParseProxyList("  socks=alpha:1080  socks=beta:1081 ", {});
  EXPECT_EQ(rows[ProxyProtocol::Socks], (ProxyServerRow{"beta", "1081"}));
  // Only spaces separate: a tab stays inside the entry.
  EXPECT_EQ(ParseProxyList("http=a:1\tftp=b:2", {})[ProxyProtocol::Http],
            (ProxyServerRow{"a", "1\tftp=b:2"}));
}

TEST(ParseProxyList, RebuildsWhatBuildWrote) {
  const ProxyRows rows = rowsWith({{ProxyProtocol::Socks, {"10.0.0.1", "1080"}},
                                   {ProxyProtocol::Http, {"proxy.example", "8080"}},
                                   {ProxyProtocol::Ftp, {"f", "x:y"}}});
  EXPECT_EQ(ParseProxyList(BuildProxyList(rows), {}), rows);
}

TEST(ParseBypassList, CollectsEntriesJoinedBySemicolons) {
  EXPECT_EQ(ParseBypassList("a  b", {"old", false}), (BypassFields{"a;;b", false}));
  EXPECT_EQ(ParseBypassList("a b <local>", {"old", false}), (BypassFields{"a;b", true}));
  EXPECT_EQ(ParseBypassList(" a", {"old", false}), (BypassFields{";a", false}));
  EXPECT_EQ(ParseBypassList(" ", {"old", false}), (BypassFields{";", false}));
}

TEST(ParseBypassList, LocalSetsTheFlagButNothingClearsIt) {
  EXPECT_EQ(ParseBypassList("<local>", {"old", false}), (BypassFields{"old", true}));
  EXPECT_EQ(ParseBypassList("<local> <local>", {"old", false}), (BypassFields{"old", true}));
  EXPECT_EQ(ParseBypassList("a", {"old", true}), (BypassFields{"a", true}));
  EXPECT_EQ(ParseBypassList("", {"old", true}), (BypassFields{"old", true}));
  // Only the exact entry counts.
  EXPECT_EQ(ParseBypassList("<LOCAL>", {"", false}), (BypassFields{"<LOCAL>", false}));
  EXPECT_EQ(ParseBypassList("a;b;<local>", {"old", false}), (BypassFields{"a;b;<local>", false}));
}

TEST(ParseBypassList, RebuildsWhatBuildWrote) {
  for (const char* text : {"a", "a;b", "*.example;10.*;x"}) {
    for (const bool local : {false, true}) {
      EXPECT_EQ(ParseBypassList(BuildBypassList(text, local), {}), (BypassFields{text, local}))
          << text;
    }
  }
}

TEST(ProxyForm, ApplyingBuildsBothListsAndTheAccessType) {
  ProxyFormFields f;
  f.address = "typed";
  f.port = "1";
  f.rows[ProxyProtocol::Http] = {"alpha", "8080"};
  f.exceptions = "a;b";
  f.bypassLocal = true;
  EXPECT_EQ(configurationFromForm(f),
            (ProxyConfiguration{kAccessDirect, "http=alpha:8080", "a b <local>"}));
  f.useProxy = true;
  EXPECT_EQ(configurationFromForm(f).accessType, kAccessProxy);
  EXPECT_TRUE(savesAddressAndPort(f));
  f.exceptions = "";
  EXPECT_FALSE(savesAddressAndPort(f));
  f.exceptions = " ";
  EXPECT_TRUE(savesAddressAndPort(f));
  EXPECT_EQ(useSettingValue(true), "true");
  EXPECT_EQ(useSettingValue(false), "false");
}

TEST(ProxyForm, ReadingChecksTheProxyBoxOnlyForAccessType3) {
  ProxyFormFields f;
  f.address = "kept";
  f.exceptions = "old";
  EXPECT_FALSE(readConfiguration({kAccessDirect, "http=a:1", ""}, f));
  EXPECT_FALSE(f.useProxy);
  EXPECT_EQ(f.rows[ProxyProtocol::Http], (ProxyServerRow{"a", "1"}));
  EXPECT_EQ(f.exceptions, "old");

  EXPECT_TRUE(readConfiguration({kAccessProxy, "", "x y <local>"}, f));
  EXPECT_TRUE(f.useProxy);
  EXPECT_EQ(f.exceptions, "x;y");  // the first entry is kept
  EXPECT_TRUE(f.bypassLocal);
  EXPECT_EQ(f.address, "kept");

  // A failed read (type 0, no lists) changes nothing and never clears the box.
  const ProxyFormFields before = f;
  EXPECT_FALSE(readConfiguration({}, f));
  EXPECT_TRUE(f.useProxy);
  EXPECT_EQ(f.rows, before.rows);
  EXPECT_EQ(f.exceptions, before.exceptions);
}

TEST(ProxyForm, SameServerRule) {
  const SameServerOutcome on = sameServerRule(true, {"alpha", "8080"});
  EXPECT_EQ(on.address, "alpha");
  EXPECT_EQ(on.port, "8080");
  EXPECT_FALSE(on.othersEnabled);
  const SameServerOutcome off = sameServerRule(false, {"alpha", "8080"});
  EXPECT_EQ(off.address, "");
  EXPECT_EQ(off.port, "");
  EXPECT_TRUE(off.othersEnabled);
}

}  // namespace
