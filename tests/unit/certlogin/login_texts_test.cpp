#include "certlogin/login_texts.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(TargetAfterLocation, UpToCrLfWithBlanksAndContentLocation) {
  EXPECT_EQ("/portal/home", TargetAfterLocation("HTTP/1.1 302 Found\r\nLocation:/portal/home\r\n\r\n"));
  EXPECT_EQ(" /portal/home", TargetAfterLocation("Location: /portal/home\r\n"));
  EXPECT_EQ("/inner", TargetAfterLocation("Content-Location:/inner\r\nLocation: /real\r\n"));
  EXPECT_EQ(std::nullopt, TargetAfterLocation("Location: /cut off"));
  EXPECT_EQ(std::nullopt, TargetAfterLocation("location: /x\r\n"));
  EXPECT_EQ("", TargetAfterLocation("Location:\r\n"));
}

TEST(LoginRequest, WithTheSessionFromThePageByteForByte) {
  EXPECT_EQ(
      "GET /certLogin HTTP/1.1\r\nAccept-Language: zh-CN\r\nAccept-Encoding: gzip, deflate\r\n"
      "Host: gw.example:443\r\nCookie: Varnex_SSLID=0123456789abcdef0123456789abcdef; SSLVPN_lang=1\r\n"
      "Content-Location:https://gw.example/portals/index.html\r\nConnection: Keep-Alive\r\n\r\n",
      LoginRequest("gw.example", 443, std::string("0123456789abcdef0123456789abcdef"), 0,
                   "https://gw.example/portals/index.html"));
}

TEST(LoginRequest, WithTheLangValueAloneAndThePortUnsigned) {
  EXPECT_EQ(
      "GET /certLogin HTTP/1.1\r\nAccept-Language: zh-CN\r\nAccept-Encoding: gzip, deflate\r\n"
      "Host: 10.0.0.1:8443\r\nCookie: SSLVPN_lang=0\r\n"
      "Content-Location:https://10.0.0.1:8443/portals/\r\nConnection: Keep-Alive\r\n\r\n",
      LoginRequest("10.0.0.1", 8443, std::nullopt, 0, "https://10.0.0.1:8443/portals/"));
  EXPECT_NE(std::string::npos, LoginRequest("h", -1, std::nullopt, 1, "").find("Host: h:4294967295\r\n"
                                                                                 "Cookie: SSLVPN_lang=1\r\n"));
}

TEST(LoginRequest, LongTextsAreSentWhole) {
  std::string host(300, 'h'), page = "https://x/" + std::string(2000, 'p');
  std::string request = LoginRequest(host, 443, std::string(32, 's'), 1, page);
  EXPECT_NE(std::string::npos, request.find("Host: " + host + ":443\r\n"));
  EXPECT_NE(std::string::npos, request.find("Content-Location:" + page + "\r\nConnection: Keep-Alive\r\n\r\n"));
}

TEST(LoginRequest, PageTextsCannotAddHeaderLines) {
  std::string request =
      LoginRequest("gw.example\r\nX-Host: a", 443, std::nullopt, 0, "https://gw/\r\nX-Page: b\n\x01\x7F");
  EXPECT_NE(std::string::npos, request.find("Host: gw.example%0D%0AX-Host: a:443\r\n"));
  EXPECT_NE(std::string::npos, request.find("Content-Location:https://gw/%0D%0AX-Page: b%0A%01%7F\r\n"));
  EXPECT_EQ(std::string::npos, request.find("\r\nX-"));
}

TEST(FallbackAddress, PortalsCutAtTheLastSlashOtherwiseTheOriginRoot) {
  EXPECT_EQ(u"https://gw/portals", FallbackAddress(u"https://gw/portals/index.html", u"gw"));
  EXPECT_EQ(u"https://gw/portals", FallbackAddress(u"https://gw/portals/", u"gw"));
  EXPECT_EQ(u"https://gw", FallbackAddress(u"https://gw/portals", u"gw"));
  EXPECT_EQ(u"https://gw:8443/", FallbackAddress(u"https://gw:8443/login/start.html", u"gw:8443"));
  EXPECT_EQ(u"https://gw/", FallbackAddress(std::nullopt, u"gw"));
  EXPECT_EQ(std::nullopt, FallbackAddress(u"https://gw/other", std::nullopt));
  // A long address is kept whole.
  std::u16string longPath(3000, u'a');
  EXPECT_EQ(u"https://gw/portals/" + longPath, FallbackAddress(u"https://gw/portals/" + longPath + u"/x", u"gw"));
}

}  // namespace
}  // namespace vorlane
