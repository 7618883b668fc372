// Run's launch road with the Windows updater lookup and the real download
// thread; the page, the launcher for the updater and the status relay are
// the control's and are stood in for here.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "common/message_box_watcher.h"
#include "common/test_files.h"
#include "download_test_support.h"
#include "fakes/fake_page.h"
#include "gateway_simulator.h"
#include "launch/download/win32/installer_download_thread.h"
#include "launch/portal/run_launch_road.h"
#include "support/win32/win32_program_files.h"

namespace vorlane {
namespace {

struct StandInControl final : ProgramLauncher, StatusPolling, UserNotice {
  std::vector<std::u16string> updaterStarts;
  int pollerStarts = 0;
  int StartElevated(const char16_t* path, const char16_t* parameters) override {
    updaterStarts.push_back(std::u16string(path) + u"|" + parameters);
    return 1;
  }
  void StartPolling() override { ++pollerStarts; }
  void Show(MessageChoice) override {}
};

std::u16string UpdaterOnThisMachine() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE);
  return reinterpret_cast<const char16_t*>(folder) + std::u16string(u"\\Corvanta\\Update\\Update.exe");
}

class LaunchRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway.Start());
    gateway.ServeInstaller("MZ stand-in installer");
    std::string digits = std::to_string(gateway.Port());
    page.hostname = u"127.0.0.1";
    page.port = std::u16string(digits.begin(), digits.end());
    page.cookie = u"a=b; Varnex_SSLID=feedfacefeedfacefeedfacefeedface";
    tests::TakeLaunches();
  }
  bool Run() {
    PortalContext context;
    return RunLaunchRoad(context, &page, {updater, control, download, control, control});
  }

  tests::GatewaySimulator gateway;
  tests::FakePage page;
  StandInControl control;
  Win32ProgramFiles updater;
  InstallerDownloadStarter download{tests::RecordingLauncher};
};

TEST_F(LaunchRoad, WithoutTheUpdaterTheInstallerIsDownloadedInTheBackground) {
  tests::MessageBoxWatcher watcher;
  ASSERT_TRUE(Run());
  EXPECT_EQ(control.pollerStarts, 1);
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  EXPECT_TRUE(control.updaterStarts.empty());
  auto launches = tests::TakeLaunches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].bytesAtLaunch, "MZ stand-in installer");
  EXPECT_EQ(launches[0].parameters, u"Options -server=127.0.0.1 -port=" + *page.port +
                                        u" -session=feedfacefeedfacefeedfacefeedface -type=0 /S");
  ASSERT_EQ(gateway.Requests().size(), 1u);
  EXPECT_EQ(gateway.Requests()[0].Header("Cookie"), "Varnex_SSLID=feedfacefeedfacefeedfacefeedface");
  EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(LaunchRoad, InstalledUpdaterIsStartedAndNothingIsDownloaded) {
  std::u16string path = UpdaterOnThisMachine();
  std::u16string folder = path.substr(0, path.find_last_of(u'\\'));
  SHCreateDirectoryExW(nullptr, reinterpret_cast<const wchar_t*>(folder.c_str()), nullptr);
  ASSERT_TRUE(tests::WriteFileBytes(path, "MZ updater"));
  bool ran = Run();
  tests::DeleteFileAt(path);
  ASSERT_TRUE(ran);
  ASSERT_EQ(control.updaterStarts.size(), 1u);
  EXPECT_EQ(control.updaterStarts[0], path + u"|-server 127.0.0.1 -port " + *page.port +
                                          u" -session feedfacefeedfacefeedfacefeedface -type 0 ");
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  EXPECT_TRUE(gateway.Requests().empty());
}

}  // namespace
}  // namespace vorlane
