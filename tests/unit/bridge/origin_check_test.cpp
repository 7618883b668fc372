#include "bridge/origin_check.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

struct FakePolicy final : AllowListPolicy {
  std::optional<std::vector<std::u16string>> hosts;
  std::optional<std::vector<std::u16string>> AllowedHosts() override { return hosts; }
};

TEST(OriginCheck, TheBrowsersOriginMeetsTheControlsAllowList) {
  FakePolicy policy;
  EXPECT_TRUE(OriginMayCall(policy, u"https://anywhere.example")) << "no policy, no refusal";
  policy.hosts = std::vector<std::u16string>{u"GW.example"};
  EXPECT_TRUE(OriginMayCall(policy, u"https://gw.example"));
  EXPECT_TRUE(OriginMayCall(policy, u"https://gw.example:8443"));
  EXPECT_FALSE(OriginMayCall(policy, u"https://gw.example.evil.example"));
  EXPECT_FALSE(OriginMayCall(policy, u"null"));
  EXPECT_FALSE(OriginMayCall(policy, u""));
  policy.hosts = std::vector<std::u16string>{};
  EXPECT_FALSE(OriginMayCall(policy, u"https://gw.example")) << "a policy set empty allows no page";
}

TEST(OriginCheck, PageLocationMustBeOnTheOrigin) {
  PageContext page;
  EXPECT_TRUE(PageLiesOnOrigin(page, u"https://gw.example")) << "a page without location: the origin decides";
  page.href = u"https://GW.example/portals/index.html?x=1";
  EXPECT_TRUE(PageLiesOnOrigin(page, u"https://gw.example"));
  page.href = u"https://gw.example:443/portals/";
  EXPECT_TRUE(PageLiesOnOrigin(page, u"https://gw.example")) << "the default port named or not";
  page.href = u"https://user@gw.example:8443/";
  EXPECT_TRUE(PageLiesOnOrigin(page, u"https://gw.example:8443"));
  for (const char16_t* elsewhere : {u"https://gw.example:8443/", u"http://gw.example/", u"https://other.example/",
                                    u"https://gw.example.other.example/", u"about:blank", u""}) {
    page.href = elsewhere;
    EXPECT_FALSE(PageLiesOnOrigin(page, u"https://gw.example"));
  }
  page.href = u"https://gw.example/";
  EXPECT_FALSE(PageLiesOnOrigin(page, u"chrome-extension://abc"));
}

// The launch road reads the host name and port, the logins the host: each
// must name the origin as well as the address does.
TEST(OriginCheck, EveryLocationTextThePageGivesMustNameTheOrigin) {
  PageContext page;
  page.href = u"https://gw.example:8443/portals/";
  page.url = u"https://gw.example:8443/portals/";
  page.host = u"gw.example:8443";
  page.hostname = u"GW.example";
  page.port = u"8443";
  EXPECT_TRUE(PageLiesOnOrigin(page, u"https://gw.example:8443"));
  PageContext spoiled = page;
  spoiled.hostname = u"evil.example";
  EXPECT_FALSE(PageLiesOnOrigin(spoiled, u"https://gw.example:8443"));
  spoiled = page;
  spoiled.port = u"9443";
  EXPECT_FALSE(PageLiesOnOrigin(spoiled, u"https://gw.example:8443"));
  spoiled = page;
  spoiled.host = u"gw.example";
  EXPECT_FALSE(PageLiesOnOrigin(spoiled, u"https://gw.example:8443"));
  spoiled = page;
  spoiled.url = u"https://evil.example/";
  EXPECT_FALSE(PageLiesOnOrigin(spoiled, u"https://gw.example:8443"));

  PageContext plain;
  plain.hostname = u"gw.example";
  plain.port = u"";
  plain.host = u"gw.example";
  EXPECT_TRUE(PageLiesOnOrigin(plain, u"https://gw.example")) << "an unnamed port is the default one";
  plain.hostname = u"evil.example";
  EXPECT_FALSE(PageLiesOnOrigin(plain, u"https://gw.example")) << "also without an address";
}

}  // namespace
}  // namespace vorlane
