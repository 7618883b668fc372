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

// --allowed-hosts holds for the run only: an administrator's list is put
// back afterwards, and a machine that had none has none again.
TEST(DemoHost, AllowedHostsArePutBackWhenTheRunEnds) {
  constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";
  auto allowedHosts = [&]() -> std::u16string {
    wchar_t data[256] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"AllowedHosts", RRF_RT_REG_MULTI_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
      return u"(none)";
    }
    return std::u16string(reinterpret_cast<const char16_t*>(data), size / 2);
  };
  const std::u16string adminList(u"admin.example\0\0", 15);
  const std::u16string args = u"--ocx \"" + BesideSuite(u"vorlane.ocx") +
                              u"\" --allowed-hosts \"gw.example;other.example\" --page https://evil.example/ "
                              u"call:ResetUrl release";
  for (bool administered : {true, false}) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey);
    if (administered) {
      ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"AllowedHosts", REG_MULTI_SZ,
                                               adminList.data(), static_cast<DWORD>(adminList.size() * 2)));
    }
    HostRun run = RunHost(args);
    EXPECT_THAT(run.lines, Contains("policy AllowedHosts \"gw.example;other.example\""));
    EXPECT_THAT(run.lines, Contains("error ResetUrl 0x80070005"));  // the page is not listed
    EXPECT_THAT(run.lines, Contains(administered ? "policy AllowedHosts put back" : "policy AllowedHosts removed"));
    EXPECT_EQ(administered ? adminList : u"(none)", allowedHosts());
  }
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey);
}

}  // namespace
}  // namespace vorlane::scenarios
