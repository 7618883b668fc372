#include "policy/allow_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_page.h"

namespace vorlane {
namespace {

struct FakePolicy final : AllowListPolicy {
  std::optional<std::vector<std::u16string>> hosts;
  std::optional<std::vector<std::u16string>> AllowedHosts() override { return hosts; }
};

using tests::FakePage;

TEST(AllowList, WithoutPolicyEveryPageMayScriptAndNoPageIsAsked) {
  FakePolicy policy;
  FakePage page;
  page.documentUrl = u"https://anywhere.example/";
  EXPECT_TRUE(PageMayScript(policy, page));
  page.documentUrl.reset();
  EXPECT_TRUE(PageMayScript(policy, page));
  EXPECT_EQ(page.reads, 0);
}

TEST(AllowList, ListedHostMayScriptWhateverCaseBlanksOrFinalDot) {
  FakePolicy policy;
  policy.hosts = std::vector<std::u16string>{u"other.example", u" GW.Example. "};
  FakePage page;
  page.documentUrl = u"https://gw.example:8443/portals/index.html";
  EXPECT_TRUE(PageMayScript(policy, page));
  page.documentUrl = u"https://GW.EXAMPLE/";
  EXPECT_TRUE(PageMayScript(policy, page));
}

// The installer writes its one property as one string of the list.
TEST(AllowList, OneStringMayNameSeveralHosts) {
  FakePolicy policy;
  policy.hosts = std::vector<std::u16string>{u"gw1.example;gw2.example, gw3.example\tgw4.example"};
  FakePage page;
  for (const char16_t* address : {u"https://gw1.example/", u"https://gw2.example/", u"https://gw3.example/",
                                  u"https://gw4.example/"}) {
    page.documentUrl = address;
    EXPECT_TRUE(PageMayScript(policy, page));
  }
  page.documentUrl = u"https://gw1.example;gw2.example/";
  EXPECT_FALSE(PageMayScript(policy, page));
}

TEST(AllowList, OtherHostsAreRefusedIncludingLookAlikes) {
  FakePolicy policy;
  policy.hosts = std::vector<std::u16string>{u"gw.example"};
  FakePage page;
  for (const char16_t* address : {u"https://evil.example/", u"https://gw.example.evil.example/",
                                  u"https://sub.gw.example/", u"https://gw.example@evil.example/",
                                  u"https://evil.example/?https://gw.example/"}) {
    page.documentUrl = address;
    EXPECT_FALSE(PageMayScript(policy, page)) << std::string(address, address + std::char_traits<char16_t>::length(address));
  }
}

TEST(AllowList, UnreadablePageIsRefusedWhilePolicyIsSet) {
  FakePolicy policy;
  policy.hosts = std::vector<std::u16string>{u"gw.example"};
  FakePage page;
  EXPECT_FALSE(PageMayScript(policy, page));
  page.documentUrl = u"about:blank";
  EXPECT_FALSE(PageMayScript(policy, page));
}

// An empty string in the list must not admit a page whose host is unreadable.
TEST(AllowList, EmptyPolicyAllowsNothing) {
  FakePolicy policy;
  policy.hosts = std::vector<std::u16string>{};
  FakePage page;
  page.documentUrl = u"https://gw.example/";
  EXPECT_FALSE(PageMayScript(policy, page));
  policy.hosts = std::vector<std::u16string>{u"", u"  "};
  page.documentUrl = u"file:///C:/page.html";
  EXPECT_FALSE(PageMayScript(policy, page));
}

}  // namespace
}  // namespace vorlane
