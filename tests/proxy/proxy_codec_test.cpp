// The proxy codec and the engine's one proxy, without a display.
#include "proxy/proxy_codec.h"
#include "proxy/proxy_form.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

using namespace proxy;

namespace {

using P = ProxyProtocol;
using Filled = std::initializer_list<std::pair<P, ProxyServerRow>>;

ProxyRows with(Filled filled, ProxyRows rows = {}) {
  for (const auto& [protocol, row] : filled) {
    rows[protocol] = row;
  }
  return rows;
}

// Every row filled with distinct text, to see which rows parsing leaves alone.
const ProxyRows kSentinel = with({{P::Socks, {"s0", "1"}},
                                  {P::Secure, {"e0", "2"}},
                                  {P::Http, {"h0", "3"}},
                                  {P::Gopher, {"g0", "4"}},
                                  {P::Ftp, {"f0", "5"}}});

TEST(ProxyCodec, BuildProxyList) {
  const struct {
    ProxyRows rows;
    const char* list;
  } cases[] = {{{}, ""},
               {with({{P::Gopher, {"alpha", ""}}, {P::Http, {"", "8080"}}}), ""},
               {with({{P::Http, {"alpha", "8080"}}, {P::Secure, {"beta", "443"}}}),
                "https=beta:443 http=alpha:8080"},
               {kSentinel, "socks=s0:1 https=e0:2 http=h0:3 gopher=g0:4 ftp=f0:5"},
               {with({{P::Socks, {"alpha", "1080"}}}), "socks=alpha:1080"},
               {with({{P::Ftp, {"alpha", "21"}}}), "ftp=alpha:21"},
               {with({{P::Http, {" a b", "80  "}}}), "http= a b:80"},  // only the end is trimmed
               {with({{P::Http, {" ", "x\t"}}}), "http= :x\t"},  // spaces count, tabs are content
               {with({{P::Gopher, {"h", " "}}, {P::Secure, {"s", "p"}}}), "https=s:p gopher=h:"}};
  for (const auto& c : cases) {
    EXPECT_EQ(BuildProxyList(c.rows), c.list);
  }
}

TEST(ProxyCodec, BuildBypassList) {
  const std::tuple<const char*, bool, const char*> cases[] = {
      {"a;b", true, "a b <local>"}, {"", true, "<local>"},    {"", false, ""},
      {" a;b ", false, "a b"},      {"a; b", false, "a  b"},  {";;a;", false, "a"},
      {"   ", true, "<local>"},     {"\ta\n", false, "\ta\n"}};
  for (const auto& [exceptions, local, list] : cases) {
    EXPECT_EQ(BuildBypassList(exceptions, local), list) << exceptions;
  }
}

TEST(ProxyCodec, ParseProxyListReplacesOnlyTheRowsItNames) {
  const struct {
    const char* list;
    ProxyRows rows;
  } cases[] = {
      {"http=alpha:8080", with({{P::Http, {"alpha", "8080"}}}, kSentinel)},
      {"https=b:443 ftp=d:21", with({{P::Secure, {"b", "443"}}, {P::Ftp, {"d", "21"}}}, kSentinel)},
      {"HTTP=alpha:8080 alpha:8080 Socks=a:1 xhttp=a:1 =a:1 http =a:1", kSentinel},
      {"http=:80", with({{P::Http, {"", "80"}}}, kSentinel)},
      {"http=alpha:", with({{P::Http, {"alpha", ""}}}, kSentinel)},
      {"http=a:b:80", with({{P::Http, {"a", "b:80"}}}, kSentinel)},
      // A ";"-separated list holds no space: one entry, the rest is its port.
      {"http=alpha:80;https=beta:443",
       with({{P::Http, {"alpha", "80;https=beta:443"}}}, kSentinel)},
      {"http=alpha socks=", with({{P::Http, {"alpha", ""}}, {P::Socks, {"", ""}}}, kSentinel)},
      {"  socks=alpha:1080  socks=beta:1081 ", with({{P::Socks, {"beta", "1081"}}}, kSentinel)},
      {"http=a:1\tftp=b:2", with({{P::Http, {"a", "1\tftp=b:2"}}}, kSentinel)}};
  for (const auto& c : cases) {
    EXPECT_EQ(ParseProxyList(c.list, kSentinel), c.rows) << c.list;
  }
}

TEST(ProxyCodec, ParseBypassListCollectsEntriesAndOnlySetsTheFlag) {
  // Parsed over the exception text "old" and the flag as given.
  const struct {
    const char* list;
    bool flag;
    BypassFields after;
  } cases[] = {{"a  b", false, {"a;;b", false}},
               {"a b <local>", false, {"a;b", true}},
               {" a", false, {";a", false}},
               {"<local>", false, {"old", true}},
               {"a", true, {"a", true}},
               {"", true, {"old", true}},
               {"<LOCAL>", false, {"<LOCAL>", false}},
               {"a;b;<local>", false, {"a;b;<local>", false}}};
  for (const auto& c : cases) {
    EXPECT_EQ(ParseBypassList(c.list, {"old", c.flag}), c.after) << c.list;
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
    EXPECT_EQ(engineProxyFor({kAccessProxy, list, {}}), proxy) << list;
  }
  EXPECT_EQ(engineProxyFor({kAccessDirect, "http=h:x", {}}), EngineProxy{});
  EXPECT_EQ(engineProxyFor({2, "http=h:3", {}}), std::nullopt);
  // What a space typed into Address or Port turns into, and other entries it cannot use.
  for (const char* list :
       {"http=proxy.example :3128", "http=proxy.example: 3128", "http= proxy.example:3128",
        "http=proxy example:3128", "socks=s:1  http=h:3", "http=h", "h:8080", "http=h:3 ftp=f:x",
        "http=:", "http=h:0", "http=h:65536", "http=h:8o", "http=a/b:80", "http=a..b:80",
        "http=[::1]:80", ""}) {
    EXPECT_EQ(engineProxyFor({kAccessProxy, list, {}}), std::nullopt) << list;
  }
}

}  // namespace
