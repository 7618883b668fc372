// The <param> values the page host takes from a page, and the example portal
// page as the gateway simulator serves it.
#include <windows.h>
#include <wininet.h>

#include <gmock/gmock.h>

#include "gateway_simulator.h"
#include "object_params.h"
#include "portal_page.h"

namespace vorlane::host {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;

constexpr char kClsid[] = "44575D42-B89E-423E-B3CF-B8AFE1897A80";

TEST(ObjectParams, TakesTheParamsOfTheControlsObjectOnly) {
  const std::string page = R"(<html><body>
    <object classid="clsid:00000000-0000-0000-0000-000000000001"><param name="ip" value="other"></object>
    <OBJECT ID=vorlane CLASSID='CLSID:44575d42-b89e-423e-b3cf-b8afe1897a80' codebase="vorlane.cab#version=8,1,31,0">
      <PARAM NAME="ip" VALUE="gw.example"/>
      <param name=port value=8443>
      <param name="username" value="&quot;Ann&quot; &amp; &#x4E2D;&#25991;">
      <param value="no name">
      <param name="type">
    </OBJECT>
    <param name="outside" value="x">
  </body></html>)";
  auto params = ReadObjectParams(page, kClsid);
  ASSERT_TRUE(params);
  EXPECT_THAT(*params, ElementsAre(Pair("ip", "gw.example"), Pair("port", "8443"),
                                   Pair("username", "\"Ann\" & \xE4\xB8\xAD\xE6\x96\x87"), Pair("type", "")));
}

TEST(ObjectParams, NothingWithoutTheControlsObject) {
  EXPECT_FALSE(ReadObjectParams("<object classid=\"clsid:1234\"><param name=ip value=x></object>", kClsid));
  EXPECT_FALSE(ReadObjectParams("<objects classid=\"clsid:44575D42-B89E-423E-B3CF-B8AFE1897A80\">", kClsid));
  // An unterminated tag at the end of the page is read as far as it goes.
  auto cut = ReadObjectParams("<object classid=clsid:44575D42-B89E-423E-B3CF-B8AFE1897A80><param name=\"ip", kClsid);
  ASSERT_TRUE(cut);
  EXPECT_THAT(*cut, ElementsAre(Pair("ip", "")));
}

// What a browser would get from the gateway at /portals/index.html.
std::string Fetch(std::uint16_t port, const wchar_t* path) {
  std::string body;
  HINTERNET internet = InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectW(internet, L"127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestW(connection, L"GET", path, nullptr, nullptr, nullptr,
                                       INTERNET_FLAG_SECURE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_REVOCATION;
  InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
  if (request && HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
  }
  if (request) InternetCloseHandle(request);
  if (connection) InternetCloseHandle(connection);
  if (internet) InternetCloseHandle(internet);
  return body;
}

TEST(PortalPage, GatewayServesTheExamplePageWithThePortalsParams) {
  tests::GatewaySimulator gateway;
  ASSERT_TRUE(gateway.Start());
  std::string page = Fetch(gateway.Port(), L"/portals/index.html");
  EXPECT_EQ(std::string(tests::kPortalPage), page);
  EXPECT_THAT(page, HasSubstr("codebase=\"/sslvpn/client/vorlane.cab#version=8,1,31,0\""));
  auto params = ReadObjectParams(page, kClsid);
  ASSERT_TRUE(params);
  EXPECT_THAT(*params, ElementsAre(Pair("ip", "gateway.example"), Pair("port", "443"), Pair("username", "alice"),
                                   Pair("type", "0")));
  // What page script relies on is all there: the page drives the control
  // through vorlane.js, served beside it.
  for (const char* needle : {"src=\"vorlane.js\"", "Vorlane.attach(", "OnClientMessage", "Close(1)", "ResetUrl()",
                             "GetPCHardInfo()"}) {
    EXPECT_THAT(page, HasSubstr(needle));
  }
  std::string script = Fetch(gateway.Port(), L"/portals/vorlane.js");
  EXPECT_EQ(std::string(tests::kPortalScript), script);
  for (const char* needle : {"control.Run(global)", "attachEvent(\"OnClientMessage\"", "control.Close(flag)",
                             "control.ResetUrl()", "control.GetPCHardInfo(global.location)"}) {
    EXPECT_THAT(script, HasSubstr(needle));
  }
  gateway.Stop();
}

}  // namespace
}  // namespace vorlane::host
