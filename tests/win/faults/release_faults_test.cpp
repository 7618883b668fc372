// The control released while its threads are busy, and the DLL asked to
// unload the moment they finish: a released control's poller ends at its
// next look at its flag, a download goes on to its end with its own copy of
// the portal context, and the DLL is never freed under a running thread.
#include <gmock/gmock.h>

#include "common/test_files.h"
#include "fault_row.h"
#include "common/message_pump.h"
#include "status/status_poller.h"

namespace vorlane::scenarios {
namespace {

using tests::InstallerMode;
using tests::LocalClientSimulator;

constexpr std::chrono::milliseconds kPollPace{kPollIntervalMs};
constexpr std::chrono::milliseconds kConnectPace{kConnectRetryPauseMs};
constexpr std::chrono::milliseconds kReceiveTimeout{kStatusSocketTimeoutMs};
constexpr int kUnloadRounds = 200;

class ReleaseFaults : public FaultRow {};

// The control's going stops its download: nothing is started, nothing is
// left on disk, no one is told, and the DLL can go at once.
TEST_F(ReleaseFaults, DestroyedWhileItsDownloadRuns) {
  gateway_.SetInstallerMode(InstallerMode::Slow);  // 4 KB every 200 ms: seconds for the whole
  gateway_.SetSlowPause(200);
  tests::MessageBoxWatcher watcher;
  Embed();
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return gateway_.Requests().size() == 1; }, 5s));
  ExpectUnloadedWithin(2000ms);
  EXPECT_TRUE(Recorded(1, 2s).empty()) << "the installer was started";
  EXPECT_TRUE(DownloadedInstallers().empty());
  EXPECT_TRUE(watcher.Seen().empty());
  Observed("download stopped quietly with the control; nothing started or left on disk");
}

TEST_F(ReleaseFaults, DestroyedWhileItsPollerConnects) {
  InstalledProgram updater(u"Update", u"Update.exe");
  client_.Stop();
  Embed();
  ASSERT_TRUE(RunOnPortal());
  tests::PumpFor(static_cast<DWORD>(kConnectPace.count()));
  ExpectUnloadedWithin(kConnectPace + 1000ms);
  // No poller is left to connect once the client appears.
  ASSERT_TRUE(client_.Start());
  tests::PumpFor(static_cast<DWORD>(3 * kConnectPace.count()));
  EXPECT_EQ(0, client_.Connections());
  EXPECT_TRUE(ClientMessages().empty());
  Observed("nothing told; no connection once the client appeared");
}

TEST_F(ReleaseFaults, DestroyedWhileItPolls) {
  InstalledProgram updater(u"Update", u"Update.exe");
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));  // polls stay 500 ms apart
  Embed();
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return StateRequests() >= 2; }, 5s));
  ExpectUnloadedWithin(kReceiveTimeout + kPollPace + 1000ms);
  const std::size_t polls = StateRequests();
  tests::PumpFor(static_cast<DWORD>(3 * kPollPace.count()));
  EXPECT_EQ(polls, StateRequests()) << "polled after the release";
  Observed(std::to_string(polls) + " polls, none after the release");
}

// The container destroys its window first, as a closing browser tab does:
// the control's window goes with it and the poller's notifications are lost,
// while the poller goes on until the control is released.
TEST_F(ReleaseFaults, WindowDestroyedByItsParentWhileItPolls) {
  InstalledProgram updater(u"Update", u"Update.exe");
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));
  Embed();
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return !ClientMessages().empty(); }, 5s));
  ASSERT_TRUE(DestroyWindow(control_->host_window()));
  EXPECT_EQ(nullptr, control_->control_window());
  const std::size_t told = ClientMessages().size();
  const std::size_t polls = StateRequests();
  ASSERT_TRUE(PumpUntil([&] { return StateRequests() >= polls + 2; }, 4 * kPollPace + 1000ms));
  EXPECT_EQ(told, ClientMessages().size()) << "an event reached the page without a window";
  ExpectUnloadedWithin(kReceiveTimeout + kPollPace + 1000ms);
  Observed(std::to_string(StateRequests() - polls) + " polls after the window went, none told; poller ended");
}

TEST_F(ReleaseFaults, DestroyedWhileTheDownloadThreadShowsItsBox) {
  gateway_.Stop();  // refused: the download fails at once
  tests::MessageBoxWatcher watcher(u"SSL VPN", tests::BoxAnswer::WhenDismissed);
  Embed();
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(BoxSeen(watcher, 10s));
  // The box's thread holds the module while the user has not answered.
  EXPECT_FALSE(ReleaseControlAndFreeModule(1000ms));
  EXPECT_EQ(S_FALSE, ControlCanUnloadNow());
  EXPECT_NE(nullptr, FindWindowW(L"#32770", L"SSL VPN"));
  watcher.Dismiss();
  ExpectUnloadedWithin(2000ms);
  EXPECT_EQ(kLaunchFailureEnglish, watcher.Seen().at(0).text);
  EXPECT_FALSE(FileExists(InstallerFile()));
  Observed("box stayed up after the release, the DLL in use until it was dismissed");
}

// Each round releases the control while its poller stops and its download
// is stopped (before, during or after its request), and frees the DLL the
// moment it says nothing is in use: the last thread, or WinINet's callback,
// is then still in its final instructions, which run on the module's pin.
TEST_F(ReleaseFaults, UnloadedAsItsThreadsEndTwoHundredTimes) {
  gateway_.ServeInstaller("MZ");  // stored whole; its start fails at once
  int stillMapped = 0;
  for (int round = 0; round < kUnloadRounds; ++round) {
    SCOPED_TRACE(round);
    Embed();
    ASSERT_TRUE(RunOnPortal());
    ASSERT_TRUE(ReleaseControlAndFreeModule(5s, 0ms)) << "a thread did not end";
    if (GetModuleHandleW(L"vorlane.ocx") != nullptr) ++stillMapped;
    ASSERT_TRUE(PumpUntil([] { return GetModuleHandleW(L"vorlane.ocx") == nullptr; }, kLastInstructionsBound, 0ms));
  }
  EXPECT_LE(gateway_.Requests().size(), static_cast<std::size_t>(kUnloadRounds));
  Observed(std::to_string(kUnloadRounds) + " rounds; " + std::to_string(stillMapped) +
           " times a thread was still in its last instructions when the DLL was freed");
  ExpectUnloadedWithin(1000ms);
}

}  // namespace
}  // namespace vorlane::scenarios
