// vorlane-host.exe with its embedded counterparts, as the demo runs it: the
// whole launch road in one child process, read from its output lines.
#include <gmock/gmock.h>

#include "common/child_process.h"
#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using HostRun = tests::ProgramRun;

HostRun RunHost(const std::u16string& arguments) {
  return tests::RunAndCapture(u"\"" + BesideSuite(u"vorlane-host.exe") + u"\" " + arguments, 60000);
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& start) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].starts_with(start)) return i;
  return lines.size();
}

TEST(DemoHost, ShowsTheInstallerDownloadedAndStartedAndTheClientsStateUntilPageOff) {
  HostRun run = RunHost(u"--ocx \"" + BesideSuite(u"vorlane.ocx") +
                        u"\" --param ip=127.0.0.1 --param type=1 --gateway"
                        u" --local-client Connecting --local-client Connected"
                        u" --cookie \"Varnex_SSLID=0123456789abcdef0123456789abcdef; lang=en\""
                        u" call:Run:window wait:2500 call:Close:1 wait:1500 release");
  EXPECT_EQ(0u, run.exitCode);
  const auto& lines = run.lines;
  const std::string gatewayLine = "gateway \"https://127.0.0.1:";
  ASSERT_THAT(lines, Contains(StartsWith(gatewayLine)));
  std::string gateway = lines[IndexOf(lines, gatewayLine)];
  std::string port = gateway.substr(gatewayLine.size(), gateway.find('"', gatewayLine.size()) - gatewayLine.size());
  EXPECT_THAT(lines, Contains("local client 127.0.0.1:8000 answering \"Connecting\" then \"Connected\""));
  EXPECT_THAT(lines, Contains("result Run VT_BOOL true"));
  EXPECT_THAT(lines, Contains("gateway request \"GET /sslvpn/client/UpdateInstaller.exe HTTP/1.1\" cookie "
                              "\"Varnex_SSLID=0123456789abcdef0123456789abcdef\""));
  EXPECT_THAT(lines, Contains(AllOf(StartsWith("started "), HasSubstr("UpdateInstaller.exe"),
                                    EndsWith(" -port=" + port +
                                             " -session=0123456789abcdef0123456789abcdef -type=1 /S\""))));
  // The page hears the client's state, then Close(1) tells the client the page is gone.
  std::size_t connecting = IndexOf(lines, "event OnClientMessage \"Connecting\"");
  std::size_t connected = IndexOf(lines, "event OnClientMessage \"Connected\"");
  std::size_t close = IndexOf(lines, "result Close VT_EMPTY");
  std::size_t pageOff = IndexOf(lines, "local client received \"pageOff\"");
  EXPECT_LT(connecting, connected);
  EXPECT_LT(connected, close);
  EXPECT_LT(close, pageOff);
  EXPECT_LT(pageOff, lines.size());
  EXPECT_EQ("released", lines.back());
}

TEST(DemoHost, RefusesALocalClientOptionWithoutItsText) {
  HostRun run = RunHost(u"--local-client");
  EXPECT_EQ(2u, run.exitCode);
  ASSERT_EQ(1u, run.lines.size());
  EXPECT_THAT(run.lines[0], HasSubstr("--local-client needs a value"));
}

}  // namespace
}  // namespace vorlane::scenarios
