// The download's bounds against gateways that hold it: a silent one, one
// that trickles its body within the stall limit, one whose body stalls, and
// a download whose control goes away. Short bounds stand for the defaults.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "common/message_box_watcher.h"
#include "download_test_support.h"
#include "gateway_simulator.h"
#include "launch/download/win32/installer_download_thread.h"
#include "support/message_catalogue.h"
#include "support/win32/module_lock.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tests::ConnectionFault;
using tests::InstallerMode;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  for (auto end = Clock::now() + limit; Clock::now() < end; Sleep(20))
    if (done()) return true;
  return done();
}

class BoundedDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway.Start());
    gateway.ServeInstaller(std::string(12, 'M'));
    tests::RemoveInstallerFolders();
    tests::TakeLaunches();
    context.host = u"127.0.0.1";
    context.port = gateway.Port();
    context.type = 1;
    policy.deadline = 4s;
    policy.stall = 2s;
  }
  // Starts the download and answers how long the box took; -1 when none came.
  long long MillisecondsToBox(tests::MessageBoxWatcher& watcher, std::shared_ptr<CancelSignal> cancel = nullptr) {
    Clock::time_point start = Clock::now();
    EXPECT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher, std::move(cancel)));
    if (!WaitFor([&] { return !watcher.Seen().empty(); }, 30s)) return -1;
    return MillisecondsSince(start);
  }
  void ExpectToldAndNothingStarted(tests::MessageBoxWatcher& watcher) {
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text, MessageText(context.type.Value()));
    EXPECT_TRUE(tests::TakeLaunches().empty());
    EXPECT_TRUE(WaitFor([] { return tests::InstallerFolders().empty(); }, 2s));
  }

  tests::GatewaySimulator gateway;
  PortalContext context;
  DownloadPolicy policy;
};

// The gateway accepts and never answers. The user is told at the stall
// limit; WinINet keeps the connection (and the module) until the gateway
// drops it, then lets go, and the module is free.
TEST_F(BoundedDownload, SilentGatewayIsToldAtTheBoundAndTheModuleFreedOnceWinInetLetsGo) {
  constexpr int kHoldMs = 8000;
  gateway.SetConnectionFault(ConnectionFault::Silent);
  gateway.SetSilentHold(kHoldMs);
  tests::MessageBoxWatcher watcher;
  Clock::time_point start = Clock::now();
  long long told = MillisecondsToBox(watcher);
  ASSERT_GE(told, 0) << "no box";
  EXPECT_GE(told, 2000);
  EXPECT_LT(told, kHoldMs) << "told only once the gateway let go";
  ExpectToldAndNothingStarted(watcher);
  // Held while WinINet holds the handles, free soon after the gateway lets go.
  EXPECT_GE(ModuleLock::Count(), 1);
  ASSERT_TRUE(WaitFor([] { return ModuleLock::Count() == 0; }, 60s));
  long long freed = MillisecondsSince(start);
  EXPECT_GE(freed, kHoldMs - 500);
  std::printf("[ measured ] silent gateway: box after %lld ms (stall limit 2000 ms); module free after %lld ms "
              "(gateway dropped at %d ms)\n", told, freed, kHoldMs);
}

// One byte a second never trips the 2 s stall limit; the 4 s deadline ends it.
TEST_F(BoundedDownload, TricklingGatewayIsCutAtTheDeadline) {
  gateway.SetInstallerMode(InstallerMode::Trickle);
  gateway.SetTricklePause(1000);
  tests::MessageBoxWatcher watcher;
  long long told = MillisecondsToBox(watcher);
  ASSERT_GE(told, 0) << "no box";
  EXPECT_GE(told, 4000);
  EXPECT_LT(told, 4000 + 3000);
  ExpectToldAndNothingStarted(watcher);
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  std::printf("[ measured ] trickling gateway (1 byte/s): box after %lld ms (deadline 4000 ms)\n", told);
}

TEST_F(BoundedDownload, BodyThatStallsIsCutAtTheStallLimit) {
  gateway.SetInstallerMode(InstallerMode::Trickle);
  gateway.SetTricklePause(5000);
  policy.deadline = 60s;
  tests::MessageBoxWatcher watcher;
  long long told = MillisecondsToBox(watcher);
  ASSERT_GE(told, 0) << "no box";
  EXPECT_GE(told, 2000);
  EXPECT_LT(told, 5000);
  ExpectToldAndNothingStarted(watcher);
  ASSERT_TRUE(tests::WaitForDownloadThreads());
  std::printf("[ measured ] stalled body (1 byte/5 s): box after %lld ms (stall limit 2000 ms)\n", told);
}

// The control went away while the gateway kept silent: the download stops
// at once, without a box, and leaves nothing behind.
TEST_F(BoundedDownload, CancelledDownloadStopsQuietly) {
  gateway.SetConnectionFault(ConnectionFault::Silent);
  gateway.SetSilentHold(3000);
  policy.deadline = 60s;
  policy.stall = 60s;
  tests::MessageBoxWatcher watcher;
  auto cancel = std::make_shared<CancelSignal>();
  ASSERT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher, cancel));
  ASSERT_TRUE(WaitFor([] { return !tests::InstallerFolders().empty(); }, 5s));
  Sleep(300);
  Clock::time_point cancelled = Clock::now();
  cancel->Cancel();
  ASSERT_TRUE(WaitFor([] { return tests::InstallerFolders().empty(); }, 5s));
  long long stopped = MillisecondsSince(cancelled);
  EXPECT_LT(stopped, 1000);
  ASSERT_TRUE(WaitFor([] { return ModuleLock::Count() == 0; }, 30s));
  EXPECT_TRUE(watcher.Seen().empty());
  EXPECT_TRUE(tests::TakeLaunches().empty());
}

}  // namespace
}  // namespace vorlane
