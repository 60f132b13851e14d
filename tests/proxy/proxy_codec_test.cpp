// The proxy codec and the one proxy the engine takes, without a display.
#include "proxy/proxy_codec.h"
#include "proxy/proxy_form.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace proxy;

namespace {

// The five rows from "host:port" texts, "|" between, in the order of ProxyProtocol:
// socks, https, http, gopher, ftp.
ProxyRows rows(const QString& text) {
  ProxyRows r;
  for (int i = 0; i < 5; ++i) {
    const QString row = text.section(u'|', i, i);
    r[ProxyProtocol(i)] = {row.section(u':', 0, 0), row.section(u':', 1)};
  }
  return r;
}
const char kSentinel[] = "s0:1|e0:2|h0:3|g0:4|f0:5";

TEST(ProxyCodec, BuildLists) {
  const std::pair<const char*, const char*> proxies[] = {
      {":|:|:8080|alpha:|:", ""},  // a row needs a host and a port
      {kSentinel, "socks=s0:1 https=e0:2 http=h0:3 gopher=g0:4 ftp=f0:5"},
      // Typed spaces count and stay, tabs are content; only the list's end is trimmed.
      {": | : | a b:80  |h:x\t|:", "https= :  http= a b:80   gopher=h:x\t"}};
  for (const auto& [fields, list] : proxies) {
    EXPECT_EQ(buildProxyList(rows(fields)), list) << fields;
  }
  const std::tuple<const char*, bool, const char*> bypasses[] = {
      {"a;b", true, "a b <local>"}, {" a; b;", false, "a  b"}, {"\ta\n", false, "\ta\n"}};
  for (const auto& [exceptions, local, list] : bypasses) {
    EXPECT_EQ(buildBypassList(exceptions, local), list) << exceptions;
  }
}

TEST(ProxyCodec, ParseProxyListReplacesOnlyTheRowsItNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"http=:80 ftp=alpha: gopher=a:b:80 socks=alpha", "alpha:|e0:2|:80|a:b:80|alpha:"},
      {"HTTP=alpha:8080 alpha:8080 Socks=a:1 xhttp=a:1 =a:1 http =a:1", kSentinel},
      // Neither ";" nor a tab separates entries: the rest is the port.
      {"http=alpha:80;https=beta:443\tftp=b:2",
       "s0:1|e0:2|alpha:80;https=beta:443\tftp=b:2|g0:4|f0:5"},
      {"  socks=alpha:1080  socks=beta:1081 https=b:443", "beta:1081|b:443|h0:3|g0:4|f0:5"}};
  for (const auto& [list, fields] : cases) {
    EXPECT_TRUE(parseProxyList(list, rows(kSentinel)) == rows(fields)) << list;
  }
}

TEST(ProxyCodec, ParseBypassListCollectsEntriesAndOnlySetsTheFlag) {
  // Parsed over the exception text "old" and the flag as given.
  const std::tuple<const char*, bool, BypassFields> cases[] = {
      {" a  b", false, {";a;;b", false}}, {"<LOCAL> b <local>", false, {"<LOCAL>;b", true}},
      {"<local>", false, {"old", true}},  {"a", true, {"a", true}},
      {"", true, {"old", true}},          {"a;b;<local>", false, {"a;b;<local>", false}}};
  for (const auto& [list, flag, after] : cases) {
    EXPECT_EQ(parseBypassList(list, {"old", flag}), after) << list;
  }
}

TEST(ProxyForm, TheEngineTakesOneProxyAndRefusesEntriesItCannotUse) {
  using K = EngineProxy::Kind;
  const std::pair<const char*, EngineProxy> cases[] = {
      {"socks=s:1 https=e:2 http=h:3 gopher=g:4 ftp=f:5", {K::Http, "h", 3}},
      {"socks=s:1 https=e:2", {K::Http, "e", 2}},
      {"socks=10.0.0.1:1080", {K::Socks5, "10.0.0.1", 1080}},
      {"http=b\u00fccher.example:65535", {K::Http, "xn--bcher-kva.example", 65535}},
      {"ftp=f:21 gopher=g:70", {}}};
  for (const auto& [list, proxy] : cases) {
    EXPECT_EQ(engineProxyFor({true, list, {}}), proxy) << list;
  }
  EXPECT_EQ(engineProxyFor({false, "http=h:x", {}}), EngineProxy{});
  // What a space typed into Address or Port turns into, and other entries it cannot use.
  for (const char* list :
       {"http=proxy.example :3128", "http=proxy.example: 3128", "http= proxy.example:3128",
        "http=proxy example:3128", "socks=s:1  http=h:3", "http=h", "h:8080", "http=h:3 ftp=f:x",
        "http=:", "http=h:0", "http=h:65536", "http=h:8o", "http=a/b:80", "http=a..b:80",
        "http=[::1]:80", ""}) {
    EXPECT_EQ(engineProxyFor({true, list, {}}), std::nullopt) << list;
  }
}

}  // namespace
