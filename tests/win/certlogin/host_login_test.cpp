// vorlane-host.exe as an integrator runs it to try a certificate login: its
// own login endpoint, the test user's certificate in the store, and the
// control loaded from its file and unloaded again before the host exits.
#include <gmock/gmock.h>

#include "common/child_process.h"
#include "login_certificates.h"
#include "personal_store.h"
#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using ::testing::Contains;
using ::testing::StartsWith;

TEST(HostLogin, LogsInStoresBothCookiesNavigatesAndExitsCleanlyAfterUnloadingTheControl) {
  tests::ProgramRun run = tests::RunAndCapture(
      u"\"" + BesideSuite(u"vorlane-host.exe") + u"\" --ocx \"" + BesideSuite(u"vorlane.ocx") +
          u"\" --param type=3 --login-gateway --client-cert"
          u" --cookie \"Varnex_SSLID=0123456789abcdef0123456789abcdef; lang=en\" call:Run:window cookies release",
      60000);
  // A crash while the process ends, after the control's module was freed, shows here.
  EXPECT_EQ(0u, run.exitCode);
  const auto& lines = run.lines;
  const std::string loginLine = "login gateway \"https://127.0.0.1:";
  auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(loginLine); });
  ASSERT_NE(lines.end(), found);
  std::string origin = found->substr(15, found->find('"', 15) - 15);
  EXPECT_THAT(lines, Contains("client certificate \"/CN=Test User/O=Vorlane Test\" in the personal store"));
  EXPECT_THAT(lines, Contains("gateway request \"GET /certLogin HTTP/1.1\" cookie "
                              "\"Varnex_SSLID=0123456789abcdef0123456789abcdef; SSLVPN_lang=1\" over TLSv1.2 "
                              "client certificate \"/CN=Test User/O=Vorlane Test\""));
  EXPECT_THAT(lines, Contains("navigate href \"" + origin + "/portal/home\""));
  EXPECT_THAT(lines, Contains("result Run VT_BOOL false"));
  EXPECT_THAT(lines, Contains(StartsWith("cookie \"" + origin + "/portals/index.html\" \"Client_Key=1\"")));
  EXPECT_THAT(lines, Contains("cookie \"" + origin +
                              "/portals/index.html\" \"Varnex_SSLID=0123456789abcdef0123456789abcdef\""));
  // The host takes out what it put in: no test key stays in the user's store.
  EXPECT_THAT(lines, Contains("client certificate removed from the personal store"));
  EXPECT_FALSE(tests::HoldsCertificate(tests::TestLoginCertificates().user));
}

}  // namespace
}  // namespace vorlane::scenarios
