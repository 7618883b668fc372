#include "launch/download/cracked_url.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(CrackedUrl, StartsAsAnEmptyHttpUrl) {
  CrackedUrl url;
  EXPECT_EQ(url.Scheme(), UrlScheme::kHttp);
  EXPECT_EQ(url.Port(), 0);
  EXPECT_TRUE(url.Host().empty() && url.Path().empty() && url.ExtraInfo().empty() && url.Url().empty());
}

TEST(CrackedUrl, SplitsTheInstallerUrl) {
  CrackedUrl url;
  ASSERT_TRUE(url.Crack(u"https://gw.example:8443/sslvpn/client/UpdateInstaller.exe"));
  EXPECT_EQ(url.Url(), u"https://gw.example:8443/sslvpn/client/UpdateInstaller.exe");
  EXPECT_EQ(url.Scheme(), UrlScheme::kHttps);
  EXPECT_EQ(url.Host(), u"gw.example");
  EXPECT_EQ(url.Port(), 8443);
  EXPECT_EQ(url.Path(), u"/sslvpn/client/UpdateInstaller.exe");
  EXPECT_EQ(url.ExtraInfo(), u"");
}

TEST(CrackedUrl, DefaultPortsQueryFragmentAndUserInfo) {
  CrackedUrl url;
  ASSERT_TRUE(url.Crack(u"HTTP://user:pw@host/a/b?x=1#frag"));
  EXPECT_EQ(url.Scheme(), UrlScheme::kHttp);
  EXPECT_EQ(url.Host(), u"host");
  EXPECT_EQ(url.Port(), 80);
  EXPECT_EQ(url.Path(), u"/a/b");
  EXPECT_EQ(url.ExtraInfo(), u"?x=1#frag");

  ASSERT_TRUE(url.Crack(u"https://host"));
  EXPECT_EQ(url.Port(), 443);
  EXPECT_EQ(url.Path(), u"");

  ASSERT_TRUE(url.Crack(u"https://[::1]:9443/p#f"));
  EXPECT_EQ(url.Host(), u"[::1]");
  EXPECT_EQ(url.Port(), 9443);
  EXPECT_EQ(url.ExtraInfo(), u"#f");
}

TEST(CrackedUrl, MalformedUrlsChangeNothing) {
  CrackedUrl url;
  ASSERT_TRUE(url.Crack(u"https://kept:1/kept?kept"));
  for (const char16_t* bad : {u"", u"no-scheme", u"https:/one-slash", u"://host", u"https://",
                              u"https://:443/x", u"https://host:port/x", u"https://host:65536/x",
                              u"https://ho st/x", u"https://host\t/x", u"https://[::1/x", u"1http://host/"}) {
    EXPECT_FALSE(url.Crack(bad)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
  EXPECT_FALSE(url.Crack(nullptr));
  EXPECT_EQ(url.Url(), u"https://kept:1/kept?kept");
  EXPECT_EQ(url.Host(), u"kept");
  EXPECT_EQ(url.Port(), 1);
  EXPECT_EQ(url.Path(), u"/kept");
  EXPECT_EQ(url.ExtraInfo(), u"?kept");
}

TEST(CrackedUrl, EachPartMustFitIts256CharacterBuffer) {
  CrackedUrl url;
  std::u16string fits(255, u'a');
  std::u16string over(256, u'a');
  EXPECT_TRUE(url.Crack((u"https://" + fits + u"/").c_str()));
  EXPECT_FALSE(url.Crack((u"https://" + over + u"/").c_str()));
  EXPECT_TRUE(url.Crack((u"https://h/" + fits.substr(1)).c_str()));
  EXPECT_FALSE(url.Crack((u"https://h/" + over.substr(1)).c_str()));
  EXPECT_TRUE(url.Crack((u"https://h/?" + fits.substr(1)).c_str()));
  EXPECT_FALSE(url.Crack((u"https://h/?" + over.substr(1)).c_str()));
}

TEST(CrackedUrl, OtherSchemesAreSplitButUnknown) {
  CrackedUrl url;
  ASSERT_TRUE(url.Crack(u"ftp://files/x"));
  EXPECT_EQ(url.Scheme(), UrlScheme::kFtp);
  EXPECT_EQ(url.Port(), 21);
  ASSERT_TRUE(url.Crack(u"gopher://hole:70/"));
  EXPECT_EQ(url.Scheme(), UrlScheme::kUnknown);
  EXPECT_EQ(url.Port(), 70);
}

}  // namespace
}  // namespace vorlane
