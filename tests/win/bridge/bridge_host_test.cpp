// vorlane-bridge.exe driven over its standard input and output as a browser
// drives it, against the gateway and local client simulators: each member's
// effects on the machine and its replies, the relay's events in order, the
// pipe closed mid-call, the AllowedHosts re-check and the framing limits.
#include <windows.h>
#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "bridge_process.h"
#include "common/test_files.h"
#include "gateway_simulator.h"
#include "local_client/local_client_simulator.h"
#include "support/win32/wide_text.h"

namespace vorlane::tests {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

constexpr char kSessionCookie[] = "Varnex_SSLID=0123456789abcdef0123456789abcdef";
constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";

std::u16string ProgramFilesX86() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE);
  return AsUtf16(folder);
}

std::u16string TemporaryFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return AsUtf16(folder);
}

// A fake client program copied to where the core looks for it.
class InstalledProgram {
 public:
  InstalledProgram(const std::u16string& folder, const std::u16string& name) {
    std::u16string target = ProgramFilesX86() + u"\\Corvanta\\" + folder;
    SHCreateDirectoryExW(nullptr, AsWide(target), nullptr);
    path_ = target + u"\\" + name;
    installed_ = CopyFileW(AsWide(FakeProgramsFolder() + name), AsWide(path_), FALSE);
  }
  ~InstalledProgram() {
    for (int i = 0; i < 100 && !DeleteFileW(AsWide(path_)) && GetLastError() != ERROR_FILE_NOT_FOUND; ++i) Sleep(50);
  }
  bool installed() const { return installed_; }

 private:
  std::u16string path_;
  bool installed_ = false;
};

void SetAllowedHosts(const wchar_t* hosts) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                           nullptr));
  std::wstring list = std::wstring(hosts) + L'\0';
  RegSetValueExW(key, L"AllowedHosts", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.c_str()),
                 static_cast<DWORD>((list.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

class BridgeHost : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway_.Start());
    ASSERT_TRUE(gateway_.ServeInstallerFile(FakeProgramsFolder() + u"UpdateInstaller.exe"));
    client_.SetDefault(LocalClientSimulator::Reply("Connected"));
    ASSERT_TRUE(client_.Start());
    record_ = TemporaryFolder() + u"bridge.commands.txt";
    DeleteFileW(AsWide(record_));
    DeleteFileW(AsWide(TemporaryFolder() + u"UpdateInstaller.exe"));
    SetEnvironmentVariableW(AsWide(kCommandRecordVariable), AsWide(record_));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPolicyKey);
  }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPolicyKey);
    client_.Stop();
    gateway_.Stop();
  }

  std::string Port() const { return std::to_string(gateway_.Port()); }
  std::string Portal() const { return "https://127.0.0.1:" + Port() + "/portals/index.html"; }
  json Call(int id, const std::string& member, json args = json::array(), int type = 0) {
    return BridgeCall(id, member, std::move(args), Portal(), kSessionCookie, type);
  }
  // The command lines the fake programs recorded, once there are `count`.
  std::vector<std::string> Recorded(std::size_t count = 0, std::chrono::milliseconds limit = 0ms) {
    std::vector<std::string> lines;
    auto deadline = std::chrono::steady_clock::now() + limit;
    do {
      lines.clear();
      std::string bytes = ReadFileBytes(record_);
      for (std::size_t start = 0, nl; (nl = bytes.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(bytes.substr(start, nl - start));
      if (lines.size() >= count) break;
      Sleep(50);
    } while (std::chrono::steady_clock::now() < deadline);
    return lines;
  }
  bool EventsAtLeast(BridgeProcess& host, std::size_t count, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (host.Events().size() < count && std::chrono::steady_clock::now() < deadline) Sleep(50);
    return host.Events().size() >= count;
  }
  std::string SleeperCommand(int milliseconds) {
    std::u16string path = FakeProgramsFolder() + u"sleeper.exe";
    return "\"" + std::string(path.begin(), path.end()) + "\" sleep " + std::to_string(milliseconds);
  }

  GatewaySimulator gateway_;
  LocalClientSimulator client_;
  std::u16string record_;
};

TEST_F(BridgeHost, RunTypeZeroStartsTheUpdaterRelaysTheStateAndCloseSendsPageOff) {
  InstalledProgram updater(u"Update", u"Update.exe");
  ASSERT_TRUE(updater.installed());
  BridgeProcess host;
  ASSERT_TRUE(host.Started());
  ASSERT_TRUE(host.Send(Call(1, "Run")));
  EXPECT_EQ(host.NextReply(30s), json({{"id", 1}, {"result", true}}));
  auto lines = Recorded(1, 15s);
  ASSERT_EQ(1u, lines.size());
  EXPECT_THAT(lines[0], HasSubstr("Corvanta\\Update\\Update.exe"));
  EXPECT_THAT(lines[0], EndsWith("-server 127.0.0.1 -port " + Port() +
                                 " -session 0123456789abcdef0123456789abcdef -type 0 "));
  ASSERT_TRUE(EventsAtLeast(host, 1, 20s));
  EXPECT_EQ("Connected", host.Events()[0]);
  EXPECT_TRUE(gateway_.Requests().empty());

  ASSERT_TRUE(host.Send(Call(2, "Close", {1})));
  EXPECT_EQ(host.NextReply(10s), json({{"id", 2}, {"result", nullptr}}));
  ASSERT_TRUE(client_.WaitForMessages(2, 10s));
  EXPECT_EQ("pageOff", client_.Received().back().text);
}

TEST_F(BridgeHost, WithoutTheUpdaterRunDownloadsTheInstallerWithTheSessionAndStartsIt) {
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "Run", json::array(), 1)));
  EXPECT_EQ(host.NextReply(30s), json({{"id", 1}, {"result", true}}));
  auto lines = Recorded(1, 30s);
  ASSERT_EQ(1u, lines.size());
  EXPECT_THAT(lines[0], HasSubstr("UpdateInstaller.exe"));
  EXPECT_THAT(lines[0], EndsWith("Options -server=127.0.0.1 -port=" + Port() +
                                 " -session=0123456789abcdef0123456789abcdef -type=1 /S"));
  auto requests = gateway_.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET /sslvpn/client/UpdateInstaller.exe HTTP/1.1", requests[0].requestLine);
  EXPECT_EQ(kSessionCookie, requests[0].Header("Cookie"));
  ASSERT_TRUE(EventsAtLeast(host, 1, 20s));
  EXPECT_EQ("Connected", host.Events()[0]);
}

TEST_F(BridgeHost, EventsReachThePageInTheOrderTheClientAnswered) {
  InstalledProgram updater(u"Update", u"Update.exe");
  client_.Script({LocalClientSimulator::Reply("Connecting"), LocalClientSimulator::Reply("\xE4\xB8\xAD\xE6\x96\x87"),
                  LocalClientSimulator::Reply("Disconnected")});
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "Run")));
  ASSERT_TRUE(EventsAtLeast(host, 3, 30s));
  std::vector<std::string> events = host.Events();
  EXPECT_THAT(std::vector<std::string>(events.begin(), events.begin() + 3),
              ElementsAre("Connecting", "\xE4\xB8\xAD\xE6\x96\x87", "Disconnected"));
}

TEST_F(BridgeHost, RunCmdStartsTheProgramAndWaitsWhenAskedResetUrlAnswersOnceAfterTheEvent) {
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "RunCmd", {SleeperCommand(500), true})));
  EXPECT_EQ(host.NextReply(20s), json({{"id", 1}, {"result", true}}));
  EXPECT_EQ(1u, Recorded().size()) << "a waited-for program has finished when the result comes";
  ASSERT_TRUE(host.Send(Call(2, "RunCmd", {"C:\\nowhere\\missing.exe", false})));
  EXPECT_EQ(host.NextReply(20s), json({{"id", 2}, {"result", false}}));

  ASSERT_TRUE(host.Send(Call(3, "ResetUrl")));
  EXPECT_EQ(host.NextReply(10s), json({{"id", 3}, {"result", false}}));
  HANDLE reset = CreateEventW(nullptr, TRUE, FALSE, L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent");
  ASSERT_NE(nullptr, reset);
  SetEvent(reset);
  ASSERT_TRUE(host.Send(Call(4, "ResetUrl")));
  EXPECT_EQ(host.NextReply(10s), json({{"id", 4}, {"result", true}}));
  ASSERT_TRUE(host.Send(Call(5, "ResetUrl")));
  EXPECT_EQ(host.NextReply(10s), json({{"id", 5}, {"result", false}}));
  CloseHandle(reset);
}

TEST_F(BridgeHost, GetPCHardInfoAsksTheBrowserForTheMacCookieThenTheVerifyPage) {
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "GetPCHardInfo")));
  std::optional<json> cookie = host.NextReply(30s);
  std::optional<json> navigate = host.NextReply(10s);
  std::optional<json> result = host.NextReply(10s);
  ASSERT_TRUE(cookie && navigate && result);
  std::string gateway = "https://127.0.0.1:" + Port() + "/";
  EXPECT_EQ((*cookie)["action"], "setCookie");
  EXPECT_EQ((*cookie)["id"], 1);
  EXPECT_EQ((*cookie)["url"], gateway);
  EXPECT_EQ((*cookie)["name"], "MAC_Addr");
  EXPECT_EQ((*cookie)["path"], "/");
  std::string mac = (*cookie)["value"];
  EXPECT_LE(mac.size(), 32u);
  std::int64_t inAYear = static_cast<std::int64_t>(std::time(nullptr)) + 365 * 86400;
  EXPECT_NEAR((*cookie)["expires"].get<double>(), static_cast<double>(inAYear), 2 * 86400.0);
  EXPECT_EQ(*navigate, json({{"id", 1}, {"action", "navigate"}, {"how", "replace"}, {"url", gateway + "verify"}}));
  EXPECT_EQ(*result, json({{"id", 1}, {"result", nullptr}}));
}

TEST_F(BridgeHost, PipeClosedMidCallEndsTheHostOnceTheCallIsDone) {
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "RunCmd", {SleeperCommand(2000), true})));
  Sleep(300);
  host.CloseInput();
  std::optional<DWORD> exit = host.WaitForExit(30s);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, *exit);
  EXPECT_EQ(1u, Recorded().size()) << "the call ran to its end before the host did";
  EXPECT_TRUE(host.OutputEnded());
}

TEST_F(BridgeHost, PipeClosedWhileRelayingStopsTheRelayAndEndsTheHost) {
  InstalledProgram updater(u"Update", u"Update.exe");
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "Run")));
  ASSERT_TRUE(EventsAtLeast(host, 1, 20s));
  host.CloseInput();
  std::optional<DWORD> exit = host.WaitForExit(15s);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, *exit);
  std::size_t asked = client_.Received().size();
  Sleep(6000);  // longer than the relay's pace
  EXPECT_EQ(asked, client_.Received().size()) << "no relay asks the client after the host ended";
}

// The host's hidden window, found as another process of the desktop finds it.
HWND BridgeWindowOf(const BridgeProcess& host) {
  DWORD process = GetProcessId(host.ProcessHandle());
  for (HWND window = nullptr; (window = FindWindowExW(HWND_MESSAGE, window, L"VorlaneBridgeWindow", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process) return window;
  }
  return nullptr;
}

// Any process of the desktop can send the host's window messages. The
// relay's WM_USER+1 and the reader's WM_APP+1 from here, carrying addresses
// of this process (of a real text, of nothing) or zero, are ignored: the
// host neither crashes nor reports them, and goes on relaying and answering.
TEST_F(BridgeHost, MessagesFromAnotherProcessToTheHostsWindowAreIgnored) {
  InstalledProgram updater(u"Update", u"Update.exe");
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));  // polls every 500 ms
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "Run")));
  EXPECT_EQ(host.NextReply(30s), json({{"id", 1}, {"result", true}}));
  ASSERT_TRUE(EventsAtLeast(host, 1, 20s));
  HWND window = BridgeWindowOf(host);
  ASSERT_NE(nullptr, window);

  static const char kText[] = "Connected";
  for (WPARAM foreign : {reinterpret_cast<WPARAM>(kText), WPARAM(0xDEAD0000BEEF), WPARAM(0)}) {
    DWORD_PTR answer = 1;
    EXPECT_NE(0, SendMessageTimeoutW(window, WM_USER + 1, foreign, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(0u, answer);
    EXPECT_TRUE(PostMessageW(window, WM_APP + 1, 0, static_cast<LPARAM>(foreign)));
  }

  std::size_t events = host.Events().size();
  ASSERT_TRUE(host.Send(Call(2, "ResetUrl")));
  EXPECT_EQ(host.NextReply(10s), json({{"id", 2}, {"result", false}}));
  ASSERT_TRUE(EventsAtLeast(host, events + 2, 10s));
  for (const std::string& text : host.Events()) EXPECT_EQ("Connecting", text);
  host.CloseInput();
  EXPECT_EQ(host.WaitForExit(15s), std::optional<DWORD>(0));
}

TEST_F(BridgeHost, AllowedHostsPolicyRefusesOtherOriginsAndRunsNothing) {
  SetAllowedHosts(L"gw.example");
  InstalledProgram updater(u"Update", u"Update.exe");
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Call(1, "Run")));
  std::optional<json> refused = host.NextReply(20s);
  ASSERT_TRUE(refused);
  EXPECT_EQ((*refused)["id"], 1);
  EXPECT_EQ((*refused)["error"]["code"], "refused");
  ASSERT_TRUE(host.Send(Call(2, "RunCmd", {SleeperCommand(0), true})));
  EXPECT_EQ(host.NextReply(20s).value_or(json())["error"]["code"], "refused");

  // A call whose page is elsewhere than the origin the browser reported.
  // The gateway's own port is listed: without one, only 443 would match.
  const std::string listed = "127.0.0.1:" + Port();
  SetAllowedHosts(std::wstring(listed.begin(), listed.end()).c_str());
  json forged = Call(3, "RunCmd", {SleeperCommand(0), true});
  forged["page"]["href"] = "https://gw.example/portals/index.html";
  ASSERT_TRUE(host.Send(forged));
  EXPECT_EQ(host.NextReply(20s).value_or(json())["error"]["code"], "refused");
  EXPECT_TRUE(Recorded(1, 2s).empty());
  EXPECT_TRUE(client_.Received().empty());
  EXPECT_TRUE(gateway_.Requests().empty());

  ASSERT_TRUE(host.Send(Call(4, "RunCmd", {SleeperCommand(0), true})));
  EXPECT_EQ(host.NextReply(20s), json({{"id", 4}, {"result", true}})) << "the listed host's page runs";
}

TEST_F(BridgeHost, FramingAtTheLimitsOverTheRealPipe) {
  BridgeProcess host;
  ASSERT_TRUE(host.WriteBytes(std::string(4, '\0')));
  EXPECT_EQ(host.NextReply(20s).value_or(json())["error"]["code"], "bad-json");
  ASSERT_TRUE(host.SendText("{\"id\":2,"));
  EXPECT_EQ(host.NextReply(10s).value_or(json())["error"]["code"], "bad-json");
  std::string atLimit = Call(3, "ResetUrl").dump();
  atLimit.resize(1024 * 1024, ' ');
  ASSERT_TRUE(host.SendText(atLimit));
  EXPECT_EQ(host.NextReply(20s), json({{"id", 3}, {"result", false}}));

  // The host reads no byte of a message over the limit, so only its length
  // and a first piece are offered; the rest would meet a closed pipe.
  std::uint32_t overLimit = 1024 * 1024 + 1;
  ASSERT_TRUE(host.WriteBytes(std::string(reinterpret_cast<const char*>(&overLimit), 4) + atLimit.substr(0, 4096)));
  std::optional<json> tooLong = host.NextReply(20s);
  ASSERT_TRUE(tooLong);
  EXPECT_EQ((*tooLong)["error"]["code"], "too-long");
  EXPECT_THAT((*tooLong)["error"]["message"].get<std::string>(), HasSubstr("1048576"));
  std::optional<DWORD> exit = host.WaitForExit(15s);
  ASSERT_TRUE(exit.has_value()) << "a message over the limit ends the host";
  EXPECT_EQ(0u, *exit);
}

}  // namespace
}  // namespace vorlane::tests
