// Run's launch road through the real control: the installed updater, or the
// installer downloaded from the gateway simulator and started, or the user
// told why not.
#include <gmock/gmock.h>

#include "common/message_box_watcher.h"
#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using tests::InstallerMode;

constexpr char16_t kDownloadLine[] = u"create a new thread to download update.exe";
constexpr char16_t kFailureEnglish[] = u"Failed to initiate the login information, please login again!";
constexpr char16_t kFailureChinese[] = u"登录信息初始化失败，请重新登录！";

class LaunchRoad : public PortalScenarioTest {
 protected:
  std::u16string NewLog() { return LogText().substr(logStart_); }
  // The installer a download stored; empty when none is there.
  std::u16string InstallerFile() {
    std::vector<std::u16string> installers = DownloadedInstallers();
    return installers.empty() ? u"" : installers.front();
  }
  std::string InstallerParameters(int type = 0) {
    std::u16string port = GatewayPort();
    return "Options -server=127.0.0.1 -port=" + std::string(port.begin(), port.end()) +
           " -session=0123456789abcdef0123456789abcdef -type=" + std::to_string(type) + " /S";
  }
  bool BoxSeen(tests::MessageBoxWatcher& watcher, std::size_t count = 1) {
    return PumpUntil([&] { return watcher.Seen().size() >= count; }, 30s);
  }
};

TEST_F(LaunchRoad, InstalledUpdaterIsStartedWithThePortalsArgumentsAndTheStateRelayed) {
  InstalledProgram updater(u"Update", u"Update.exe");
  ASSERT_TRUE(updater.installed());
  Embed();
  ASSERT_TRUE(RunOnPortal());

  auto lines = Recorded(1, 15s);
  ASSERT_EQ(1u, lines.size());
  EXPECT_THAT(lines[0], HasSubstr("Corvanta\\Update\\Update.exe"));
  std::u16string port = GatewayPort();
  EXPECT_THAT(lines[0], EndsWith("-server 127.0.0.1 -port " + std::string(port.begin(), port.end()) +
                                 " -session 0123456789abcdef0123456789abcdef -type 0 "));
  ASSERT_TRUE(PumpUntil([&] { return !ClientMessages().empty(); }));
  EXPECT_EQ(u"Connected", ClientMessages().front());
  EXPECT_TRUE(gateway_.Requests().empty());
  EXPECT_EQ(std::u16string::npos, NewLog().find(kDownloadLine));
}

TEST_F(LaunchRoad, WithoutTheUpdaterTheInstallerIsDownloadedWithTheSessionAndStarted) {
  tests::MessageBoxWatcher watcher;
  Embed();
  ASSERT_TRUE(RunOnPortal());
  EXPECT_NE(std::u16string::npos, NewLog().find(kDownloadLine));

  auto lines = Recorded(1, 30s);
  ASSERT_EQ(1u, lines.size());
  EXPECT_THAT(lines[0], HasSubstr("UpdateInstaller.exe"));
  EXPECT_THAT(lines[0], EndsWith(InstallerParameters()));
  auto requests = gateway_.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET /sslvpn/client/UpdateInstaller.exe HTTP/1.1", requests[0].requestLine);
  EXPECT_EQ("Varnex_SSLID=0123456789abcdef0123456789abcdef", requests[0].Header("Cookie"));
  EXPECT_EQ(1u, requests[0].HeaderCount("Cookie"));
  ASSERT_TRUE(PumpUntil([&] { return !ClientMessages().empty(); }));
  EXPECT_EQ(u"Connected", ClientMessages().front());
  EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(LaunchRoad, AFailedDownloadTellsTheUserLeavesNoFileAndStartsNothing) {
  for (InstallerMode mode : {InstallerMode::ErrorStatus, InstallerMode::Redirect, InstallerMode::CutOff}) {
    SCOPED_TRACE(static_cast<int>(mode));
    gateway_.SetInstallerMode(mode);
    std::size_t requestsBefore = gateway_.Requests().size();
    tests::MessageBoxWatcher watcher;
    Embed(1);
    ASSERT_TRUE(RunOnPortal());
    ASSERT_TRUE(BoxSeen(watcher));
    ASSERT_TRUE(ReleaseAndWaitForThreads());
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(kFailureChinese, watcher.Seen()[0].text);
    EXPECT_EQ(requestsBefore + 1, gateway_.Requests().size());
    EXPECT_FALSE(FileExists(InstallerFile()));
    EXPECT_TRUE(Recorded(1, 1s).empty());
  }
}

// Each download has its own folder: both start their own whole installer.
TEST_F(LaunchRoad, TwoRunsDownloadingAtOnceEachStartTheirOwnInstaller) {
  gateway_.SetInstallerMode(InstallerMode::Slow);  // the two bodies overlap
  gateway_.SetSlowPause(5);
  tests::MessageBoxWatcher watcher;
  Embed();
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(RunOnPortal());
  auto lines = Recorded(2, 15s);
  ASSERT_TRUE(ReleaseAndWaitForThreads());

  EXPECT_EQ(2u, gateway_.Requests().size());
  for (const auto& request : gateway_.Requests())
    EXPECT_EQ("Varnex_SSLID=0123456789abcdef0123456789abcdef", request.Header("Cookie"));
  EXPECT_TRUE(watcher.Seen().empty());
  ASSERT_EQ(2u, lines.size());
  EXPECT_NE(lines[0], lines[1]) << "both started from one path";
  for (const auto& line : lines) EXPECT_THAT(line, EndsWith(InstallerParameters()));
  EXPECT_EQ(2u, DownloadedInstallers().size());
}

TEST_F(LaunchRoad, ACookieStringWithoutTheSessionIsRefusedInTheUsersLanguage) {
  for (int type : {0, 1}) {
    SCOPED_TRACE(type);
    tests::MessageBoxWatcher watcher;
    Embed(type);
    EXPECT_FALSE(Run(PortalAddress(), u"lang=en; MyVarnex_SSLI=0123456789abcdef0123456789abcdef"));
    ASSERT_TRUE(BoxSeen(watcher));
    ASSERT_TRUE(ReleaseAndWaitForThreads());
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ(type == 0 ? kFailureEnglish : kFailureChinese, watcher.Seen()[0].text);
  }
  EXPECT_TRUE(gateway_.Requests().empty());
  EXPECT_TRUE(client_.Received().empty());
  EXPECT_TRUE(Recorded().empty());
  EXPECT_EQ(std::u16string::npos, NewLog().find(kDownloadLine));
}

}  // namespace
}  // namespace vorlane::scenarios
