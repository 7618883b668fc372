// The download thread end to end: the gateway simulator serves a real
// program, the thread stores and starts it, or tells the user why not.
#include <gtest/gtest.h>

#include <new>

#include "common/message_box_watcher.h"
#include "common/test_files.h"
#include "download_test_support.h"
#include "gateway_simulator.h"
#include "launch/download/win32/installer_download_thread.h"
#include "support/message_catalogue.h"
#include "support/win32/module_lock.h"

namespace vorlane {
namespace {

using tests::GatewaySimulator;
using tests::InstallerMode;

class DownloadThread : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway.Start());
    ASSERT_TRUE(gateway.ServeInstallerFile(tests::ProgramFolder() + u"fake_installer.exe"));
    installerBytes = tests::ReadFileBytes(tests::ProgramFolder() + u"fake_installer.exe");
    ASSERT_FALSE(installerBytes.empty());
    tests::RemoveInstallerFolders();
    tests::TakeLaunches();
    context.host = u"127.0.0.1";
    context.port = gateway.Port();
    std::u16string session = u"0123456789abcdef0123456789ABCDEF";
    std::copy(session.begin(), session.end(), context.session);
  }

  std::u16string ExpectedParameters() {
    std::string port = std::to_string(gateway.Port());
    return u"Options -server=127.0.0.1 -port=" + std::u16string(port.begin(), port.end()) +
           u" -session=0123456789abcdef0123456789ABCDEF -type=" + (context.type == 0 ? u"0" : u"1") + u" /S";
  }

  GatewaySimulator gateway;
  PortalContext context;
  DownloadPolicy policy;
  std::string installerBytes;
  std::u16string installer;
};

TEST_F(DownloadThread, DownloadsAndStartsTheInstallerWithTheSessionsParameters) {
  tests::MessageBoxWatcher watcher;
  ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
  context.host = u"changed.after.start";  // the thread works on its own copy
  ASSERT_TRUE(tests::WaitForDownloadThreads());

  auto launches = tests::TakeLaunches();
  ASSERT_EQ(launches.size(), 1u);
  context.host = u"127.0.0.1";
  installer = launches[0].path;
  EXPECT_TRUE(tests::IsPrivateInstallerPath(installer)) << tests::Utf8(installer);
  EXPECT_EQ(launches[0].parameters, ExpectedParameters());
  EXPECT_EQ(launches[0].bytesAtLaunch, installerBytes);
  // The downloaded program really ran, with exactly those parameters.
  EXPECT_EQ(tests::Utf16(tests::ReadFileBytes(installer + u".ran")),
            u"\"" + installer + u"\" " + ExpectedParameters());

  auto requests = gateway.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("Cookie"), "Varnex_SSLID=0123456789abcdef0123456789ABCDEF");
  EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(DownloadThread, EachFailingReplyShowsTheBoxAndStartsNothing) {
  struct Case {
    InstallerMode mode;
    std::uint16_t type;
  };
  for (Case c : {Case{InstallerMode::ErrorStatus, 0}, Case{InstallerMode::Redirect, 1},
                 Case{InstallerMode::CutOff, 0}}) {
    tests::MessageBoxWatcher watcher;
    gateway.SetInstallerMode(c.mode);
    context.type = c.type;
    ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
    ASSERT_TRUE(tests::WaitForDownloadThreads());
    auto seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u) << static_cast<int>(c.mode);
    EXPECT_EQ(seen[0].text, MessageText(c.type));
    EXPECT_TRUE(tests::TakeLaunches().empty());
    EXPECT_TRUE(tests::InstallerFolders().empty()) << static_cast<int>(c.mode);
  }
}

TEST_F(DownloadThread, GatewayAskingForACertificateWeCannotGiveFailsVisibly) {
  tests::MessageBoxWatcher watcher;
  gateway.SetClientCertificateMode(tests::ClientCertificateMode::Require);
  ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].text, MessageText(0));
  EXPECT_TRUE(tests::TakeLaunches().empty());
  EXPECT_TRUE(tests::InstallerFolders().empty());
}

TEST_F(DownloadThread, TwoDownloadsAtOnceEachStartAWholeInstaller) {
  tests::MessageBoxWatcher watcher;
  gateway.SetInstallerMode(InstallerMode::Slow);
  gateway.SetSlowPause(5);
  ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
  ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
  EXPECT_GE(ModuleLock::Count(), 1);  // the threads hold the module while they run
  ASSERT_TRUE(tests::WaitForDownloadThreads());

  // Each from its own folder under the one name, each whole.
  auto launches = tests::TakeLaunches();
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_NE(launches[0].path, launches[1].path);
  for (const auto& launch : launches) {
    EXPECT_TRUE(tests::IsPrivateInstallerPath(launch.path));
    EXPECT_EQ(launch.bytesAtLaunch, installerBytes);
  }
  EXPECT_TRUE(watcher.Seen().empty());
  EXPECT_EQ(gateway.Requests().size(), 2u);
}

int ThrowingLauncher(const char16_t*, const char16_t*) { throw std::bad_alloc(); }

// What the thread throws ends the download, not the process; the module is
// let go of as after any download.
TEST_F(DownloadThread, AnExceptionInTheThreadEndsOnlyTheDownload) {
  tests::MessageBoxWatcher watcher;
  ASSERT_TRUE(StartInstallerDownload(context, policy, ThrowingLauncher));
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  EXPECT_EQ(ModuleLock::Count(), 0);
  // The file was let go of too: a next download can create it.
  ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  EXPECT_EQ(tests::TakeLaunches().size(), 1u);
}

}  // namespace
}  // namespace vorlane
