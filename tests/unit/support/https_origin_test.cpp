#include "support/https_origin.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(HttpsOrigin, ReadsHostAndPortOfHttpsAddresses) {
  struct Case {
    const char16_t* address;
    const char16_t* host;
    std::uint16_t port;
  } cases[] = {
      {u"https://GW.Example/portals/index.html", u"gw.example", 443},
      {u"HTTPS://gw.example:8443/x", u"gw.example", 8443},
      {u"https://gw.example?q=1", u"gw.example", 443},
      {u"https://gw.example#top", u"gw.example", 443},
      {u"https://gw.example./", u"gw.example", 443},
      {u"https://gw.example:/", u"gw.example", 443},
      {u"https://gw.example:0443/", u"gw.example", 443},
      {u"https://10.0.0.1:4433/", u"10.0.0.1", 4433},
      {u"https://[::1]:8443/", u"[::1]", 8443},
      {u"https://[FE80::1]/", u"[fe80::1]", 443},
      {u"https://evil.example\\@gw.example/", u"evil.example", 443},  // "\" ends the authority
      {u"https://b\u00FCcher.example/", u"xn--bcher-kva.example", 443},
      {u"https://xn--bcher-kva.example/", u"xn--bcher-kva.example", 443},
      {u"https://\u4F8B\u5B50.example/", u"xn--fsqu00a.example", 443},
  };
  for (const Case& c : cases) {
    std::optional<HttpsOrigin> origin = HttpsOriginOfAddress(c.address);
    ASSERT_TRUE(origin) << Narrow(c.address);
    EXPECT_EQ(*origin, (HttpsOrigin{c.host, c.port})) << Narrow(c.address) << " gave " << Narrow(origin->host);
  }
}

// Each of these would pass for gw.example if the host were taken after the
// first "://" or whatever the scheme.
TEST(HttpsOrigin, RefusesEverythingButAnHttpsAuthority) {
  for (const char16_t* address :
       {u"about:blank#://gw.example/", u"about://gw.example", u"about:://gw.example",
        u"javascript:'x'//://gw.example/", u"x-unknown://gw.example", u"http://gw.example/",
        u"http://gw.example:8080/", u"file://gw.example/", u"mhtml:https://gw.example/x.mht",
        u"data:text/html,https://gw.example/", u"https:gw.example", u"https:/gw.example/", u"https://",
        u" https://gw.example/", u"httpsx://gw.example/", u"://gw.example", u"", u"gw.example/portals",
        u"https://:443/", u"https://gw.example@evil.example/", u"https://a:b@gw.example/",
        u"https://gw.example:99999/", u"https://gw.example:0/", u"https://gw.example:44a/",
        u"https://gw%2Eexample/", u"https://gw example/", u"https://gw..example/", u"https://*.example/",
        u"https://[::1/", u"https://[::1]x/", u"https://[g::1]/"}) {
    EXPECT_FALSE(HttpsOriginOfAddress(address)) << Narrow(address);
  }
  EXPECT_FALSE(HttpsOriginOfAddress(std::u16string_view(u"https://gw.example\0.evil/", 25)));
  EXPECT_FALSE(HttpsOriginOfAddress(u"https://\xD800x.example/"));  // unpaired surrogate
}

TEST(HttpsOrigin, EntriesArePlainHostsWithAnOptionalPort) {
  EXPECT_EQ(HttpsOriginOfEntry(u"GW.Example."), (HttpsOrigin{u"gw.example", 443}));
  EXPECT_EQ(HttpsOriginOfEntry(u"gw.example:8443"), (HttpsOrigin{u"gw.example", 8443}));
  EXPECT_EQ(HttpsOriginOfEntry(u"[::1]:8443"), (HttpsOrigin{u"[::1]", 8443}));
  EXPECT_EQ(HttpsOriginOfEntry(u"B\u00FCcher.example"), HttpsOriginOfAddress(u"https://b\u00FCcher.example/"));
  for (const char16_t* entry : {u"https://gw.example", u"https:gw.example", u"gw.example/portal", u"*.example",
                                u"*", u"user@gw.example", u"gw.example:https", u"", u".", u"gw.example:0"}) {
    EXPECT_FALSE(HttpsOriginOfEntry(entry)) << Narrow(entry);
  }
}

TEST(HttpsOrigin, PunycodeMatchesTheKnownEncodings) {
  // RFC 3492's samples, lower-cased as host names are.
  EXPECT_EQ(ComparableHostName(u"\u0644\u064A\u0647\u0645\u0627\u0628\u062A\u0643\u0644\u0645\u0648\u0634\u0639"
                               u"\u0631\u0628\u064A\u061F"),
            u"xn--egbpdaj6bu4bxfgehfvwxn");
  EXPECT_EQ(ComparableHostName(u"3\u5E74B\u7D44\u91D1\u516B\u5148\u751F"), u"xn--3b-ww4c5e180e575a65lsy2b");
  EXPECT_EQ(ComparableHostName(u"\U0001F600.example"), u"xn--e28h.example");
  EXPECT_FALSE(ComparableHostName(std::u16string(64, u'a') + u".example"));
  // 25 characters, but 79 once encoded: no host name can carry it.
  std::u16string wide;
  for (char16_t i = 0; i < 25; ++i) wide += static_cast<char16_t>(0x4E00 + i * 997);
  EXPECT_FALSE(ComparableHostName(wide + u".example"));
  wide.resize(14);  // 46 encoded
  EXPECT_TRUE(ComparableHostName(wide + u".example"));
}

}  // namespace
}  // namespace vorlane
