#include "policy/page_host.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(HostOfAddress, TakesTheHostBetweenSchemeAndPathLowered) {
  EXPECT_EQ(HostOfAddress(u"https://GW.Example/portals/index.html"), u"gw.example");
  EXPECT_EQ(HostOfAddress(u"https://gw.example:8443/x"), u"gw.example");
  EXPECT_EQ(HostOfAddress(u"https://gw.example?q=1"), u"gw.example");
  EXPECT_EQ(HostOfAddress(u"https://gw.example#top"), u"gw.example");
  EXPECT_EQ(HostOfAddress(u"http://gw.example"), u"gw.example");
  EXPECT_EQ(HostOfAddress(u"https://gw.example./"), u"gw.example");
}

// A user name in the address must not pass for the host: the host is what
// follows the last "@" of the authority.
TEST(HostOfAddress, IgnoresUserInformation) {
  EXPECT_EQ(HostOfAddress(u"https://gw.example@evil.example/"), u"evil.example");
  EXPECT_EQ(HostOfAddress(u"https://a:b@gw.example:443/"), u"gw.example");
  // A backslash ends the authority, as browsers read it.
  EXPECT_EQ(HostOfAddress(u"https://evil.example\\@gw.example/"), u"evil.example");
}

TEST(HostOfAddress, KeepsBracketsOfIpv6Literals) {
  EXPECT_EQ(HostOfAddress(u"https://[::1]:8443/"), u"[::1]");
  EXPECT_EQ(HostOfAddress(u"https://[::1/"), std::nullopt);
}

TEST(HostOfAddress, NothingWithoutSchemeOrHost) {
  EXPECT_EQ(HostOfAddress(u"gw.example/portals"), std::nullopt);
  EXPECT_EQ(HostOfAddress(u"://gw.example"), std::nullopt);
  EXPECT_EQ(HostOfAddress(u"file:///C:/portal.html"), std::nullopt);
  EXPECT_EQ(HostOfAddress(u"https://:443/"), std::nullopt);
  EXPECT_EQ(HostOfAddress(u""), std::nullopt);
}

}  // namespace
}  // namespace vorlane
