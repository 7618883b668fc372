#include "policy/allow_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_log_file.h"
#include "fakes/fake_page.h"

namespace vorlane {
namespace {

using tests::FakePage;

MachinePolicy Listing(std::u16string hosts) {
  MachinePolicy policy;
  policy.allowedHosts = std::move(hosts);
  return policy;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(AllowList, WithoutPolicyEveryPageMayScriptAndNoPageIsAsked) {
  MachinePolicy policy;
  FakePage page;
  page.documentUrl = u"http://anywhere.example/";
  EXPECT_EQ(JudgePage(policy, page), PageVerdict::Allowed);
  page.documentUrl.reset();
  EXPECT_EQ(JudgePage(policy, page), PageVerdict::Allowed);
  EXPECT_EQ(page.reads, 0);
}

TEST(AllowList, RequiredListThatIsMissingRefusesEveryPage) {
  MachinePolicy policy;
  policy.requireAllowList = true;
  FakePage page;
  page.documentUrl = u"https://gw.example/";
  EXPECT_EQ(JudgePage(policy, page), PageVerdict::Refused);
  EXPECT_FALSE(AddressMayScript(policy, u"https://gw.example/"));
  policy.allowedHosts = u"gw.example";
  EXPECT_EQ(JudgePage(policy, page), PageVerdict::Allowed);
}

TEST(AllowList, ListedOriginMayScriptWhateverCaseBlanksOrFinalDot) {
  MachinePolicy policy = Listing(u"other.example\n GW.Example. \ngw.example:8443");
  for (const char16_t* address : {u"https://gw.example/portals/index.html", u"https://GW.EXAMPLE:443/",
                                  u"https://gw.example:8443/", u"https://gw.example./"}) {
    EXPECT_TRUE(AddressMayScript(policy, address)) << Narrow(address);
  }
}

// Without a port an entry means 443 only; a page of a listed host on
// another port or over plain http is another origin.
TEST(AllowList, SchemeAndPortArePartOfTheOrigin) {
  MachinePolicy policy = Listing(u"gw.example");
  for (const char16_t* address : {u"http://gw.example/", u"http://gw.example:443/", u"https://gw.example:8443/",
                                  u"file://gw.example/", u"about:blank#://gw.example/",
                                  u"javascript:'x'//://gw.example/", u"x-unknown://gw.example"}) {
    EXPECT_FALSE(AddressMayScript(policy, address)) << Narrow(address);
  }
  EXPECT_FALSE(AddressMayScript(Listing(u"gw.example:8443"), u"https://gw.example/"));
}

// The installer writes its one property as one string of the list.
TEST(AllowList, OneStringMayNameSeveralHosts) {
  MachinePolicy policy = Listing(u"gw1.example;gw2.example, gw3.example\tgw4.example");
  for (const char16_t* address : {u"https://gw1.example/", u"https://gw2.example/", u"https://gw3.example/",
                                  u"https://gw4.example/"}) {
    EXPECT_TRUE(AddressMayScript(policy, address)) << Narrow(address);
  }
  EXPECT_FALSE(AddressMayScript(policy, u"https://gw1.example;gw2.example/"));
}

TEST(AllowList, OtherHostsAreRefusedIncludingLookAlikes) {
  MachinePolicy policy = Listing(u"gw.example");
  for (const char16_t* address : {u"https://evil.example/", u"https://gw.example.evil.example/",
                                  u"https://sub.gw.example/", u"https://gw.example@evil.example/",
                                  u"https://evil.example/?https://gw.example/"}) {
    EXPECT_FALSE(AddressMayScript(policy, address)) << Narrow(address);
  }
}

TEST(AllowList, PageWithoutAddressIsUnknownWhileAListIsSet) {
  MachinePolicy policy = Listing(u"gw.example");
  FakePage page;
  EXPECT_EQ(JudgePage(policy, page), PageVerdict::Unknown);
  EXPECT_FALSE(PageMayScript(policy, page));
  page.documentUrl = u"about:blank";
  EXPECT_EQ(JudgePage(policy, page), PageVerdict::Refused);
}

// An entry the product cannot read matches nothing, even the host it seems
// to name, and says so in the log; the readable entries still work.
TEST(AllowList, UnreadableEntriesAreRefusedAndLogged) {
  tests::FakeLogFile files;
  DiagnosticLog log(files);
  InstallProcessLog(&log);
  log.Open(u"C:\\client.log");
  MachinePolicy policy = Listing(u"https://gw.example/\n*.example\ngw.example/portal\nok.example");
  EXPECT_FALSE(AddressMayScript(policy, u"https://gw.example/"));
  EXPECT_FALSE(AddressMayScript(policy, u"https://any.example/"));
  EXPECT_TRUE(AddressMayScript(policy, u"https://ok.example/"));
  InstallProcessLog(nullptr);
  std::u16string written = files.Text(u"C:\\client.log");
  EXPECT_NE(written.find(u"entry https://gw.example/ is not a host name"), std::u16string::npos);
  EXPECT_NE(written.find(u"entry *.example is not"), std::u16string::npos);
  EXPECT_NE(written.find(u"entry gw.example/portal is not"), std::u16string::npos);
  EXPECT_EQ(written.find(u"entry ok.example"), std::u16string::npos);
}

TEST(AllowList, EmptyListAllowsNothing) {
  for (const char16_t* hosts : {u"", u"  ", u"\n\n"}) {
    MachinePolicy policy = Listing(hosts);
    EXPECT_FALSE(AddressMayScript(policy, u"https://gw.example/"));
    EXPECT_FALSE(AddressMayScript(policy, u"file:///C:/page.html"));
  }
}

}  // namespace
}  // namespace vorlane
