// The poller on real Winsock against the local client simulator, notifying a
// real window that this thread pumps.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "local_client/local_client_simulator.h"
#include "common/notification_window.h"
#include "status/notification_hand_over.h"
#include "status/status_poller.h"
#include "status/win32/win32_poller_thread.h"
#include "support/win32/module_lock.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using ::testing::Each;
using ::testing::ElementsAre;
using tests::LocalClientSimulator;
using tests::NotificationWindow;

// The two poll intervals are 500 and 5000 ms; gaps are checked against a
// bound far from both, so that a slow machine cannot mistake one for the other.
constexpr auto kBetweenIntervals = 3000ms;

class StatusPollerWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(client.Start());
    state->window = window.Handle();
  }
  void TearDown() override {
    if (poller) StopAndWait();
    client.Stop();
  }

  void StartPoller() {
    auto thread = StartStatusPoller(state);
    ASSERT_NE(thread, nullptr);
    // A second handle of our own, to see the thread end.
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread->NativeHandle(), GetCurrentProcess(),
                                &threadHandle, 0, FALSE, DUPLICATE_SAME_ACCESS));
    poller = std::move(thread);
  }
  // Waits for the thread's end, pumping so a notification in flight arrives.
  DWORD WaitForEnd(std::chrono::milliseconds limit) {
    window.PumpUntil([&] { return WaitForSingleObject(threadHandle, 0) == WAIT_OBJECT_0; }, limit);
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(threadHandle, &code);
    CloseHandle(threadHandle);
    threadHandle = nullptr;
    return code;
  }
  DWORD StopAndWait() {
    StopPoller(*state, poller);
    return WaitForEnd(10s);
  }
  std::vector<std::string> StatesAndOthers() {
    std::vector<std::string> texts;
    for (auto& m : client.Received()) texts.push_back(m.text);
    return texts;
  }
  static std::chrono::milliseconds Gap(const LocalClientSimulator::Message& a,
                                       const LocalClientSimulator::Message& b) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(b.at - a.at);
  }

  LocalClientSimulator client;
  NotificationWindow window;
  std::shared_ptr<PollerState> state = std::make_shared<PollerState>();
  PollerThreadSlot poller;
  HANDLE threadHandle = nullptr;
};

TEST_F(StatusPollerWinTest, ConnectedReachesTheWindowAndThePollsSlowDown) {
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(1, 10s));
  EXPECT_THAT(window.Texts(), ElementsAre("Connected"));
  ASSERT_TRUE(window.PumpUntilSeen(2, 10s));
  auto states = client.Received();
  ASSERT_GE(states.size(), 2u);
  EXPECT_GE(Gap(states[0], states[1]), kBetweenIntervals);
  EXPECT_EQ(StopAndWait(), 0u);
}

TEST_F(StatusPollerWinTest, AnotherTextReachesTheWindowUnchangedAndThePollsStayQuick) {
  client.SetDefault(LocalClientSimulator::Reply("Disconnected by peer"));
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(4, 10s));
  EXPECT_THAT(window.Texts(), Each(std::string("Disconnected by peer")));
  auto states = client.Received();
  for (std::size_t i = 1; i < 4; ++i) EXPECT_LT(Gap(states[i - 1], states[i]), kBetweenIntervals);
  EXPECT_EQ(StopAndWait(), 0u);
}

TEST_F(StatusPollerWinTest, ALongReplyArrivesIn127BytePiecesNeverMore) {
  client.Script({LocalClientSimulator::Reply(std::string(200, 'r'))});
  client.SetDefault(LocalClientSimulator::Silent());
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(2, 10s));
  EXPECT_THAT(window.Texts(), ElementsAre(std::string(127, 'r'), std::string(73, 'r')));
  EXPECT_EQ(StopAndWait(), 0u);
}

TEST_F(StatusPollerWinTest, AClientThatClosesGivesDisconnectedEveryCycleAndNoReconnection) {
  client.Script({LocalClientSimulator::CloseConnection()});
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(3, 10s));
  // Later cycles may report both the failed send and the failed receive.
  EXPECT_THAT(window.Texts(), Each(std::string("Disconnected")));
  EXPECT_EQ(client.Connections(), 1);
  EXPECT_EQ(StopAndWait(), 0u);
}

TEST_F(StatusPollerWinTest, PageOffReachesTheClientAndTheWokenPollerEndsFromItsPause) {
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(1, 10s));  // "Connected": the next pause is 5 s
  SendPageOff();
  ASSERT_TRUE(client.WaitForMessages(2, 5s));
  StopPoller(*state, poller);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForEnd(10s), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kBetweenIntervals);
  EXPECT_THAT(StatesAndOthers(), ElementsAre("state", "pageOff"));
  EXPECT_EQ(StatusChannel::Process().StatusSocket(), kNoSocket);
}

TEST_F(StatusPollerWinTest, ALateReplyIsReadByTheNextCycle) {
  client.Script({LocalClientSimulator::ReplyLate("late", 2000ms)});
  client.SetDefault(LocalClientSimulator::Reply("next"));
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(2, 15s));
  // The first receive timed out silently; the late text came with the second
  // (together with the second answer, if both were there by then).
  EXPECT_EQ(window.Texts()[0].substr(0, 4), "late");
  EXPECT_GE(client.Received().size(), 2u);
  EXPECT_EQ(StopAndWait(), 0u);
}

TEST_F(StatusPollerWinTest, DestroyingTheControlStopsItsPollerSafelyAndFreesTheModule) {
  long before = ModuleLock::Count();
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(1, 10s));
  EXPECT_EQ(ModuleLock::Count(), before + 1);
  // What the control's destruction does: stop, lose the window, let go.
  StopPoller(*state, poller);
  window.Destroy();
  state.reset();
  EXPECT_EQ(WaitForEnd(10s), 0u);
  EXPECT_EQ(ModuleLock::Count(), before);
  // Every text was taken by the window or taken back by its sender.
  EXPECT_EQ(NotificationHandOver::Process().Waiting(), 0u);
  EXPECT_EQ(window.Ignored(), 0);
}

// Sends to a window that has gone fail at once; their texts do not pile up.
TEST_F(StatusPollerWinTest, NotificationsToAWindowThatHasGoneLeaveNoTextBehind) {
  client.SetDefault(LocalClientSimulator::Reply("Connecting"));
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(1, 10s));
  window.Destroy();  // the poller still names it
  ASSERT_TRUE(client.WaitForMessages(4, 10s));
  EXPECT_EQ(StopAndWait(), 0u);
  EXPECT_EQ(NotificationHandOver::Process().Waiting(), 0u);
}

TEST_F(StatusPollerWinTest, ANewPollerTakesOverAndTheOldOneStops) {
  StartPoller();
  ASSERT_TRUE(window.PumpUntilSeen(1, 10s));
  HANDLE first = threadHandle;
  threadHandle = nullptr;
  PollerThreadSlot firstSlot = std::move(poller);

  StartPoller();  // a second Run of the same control, its flag still set
  ASSERT_TRUE(window.PumpUntilSeen(2, 10s));
  // The first poller was woken from its 5 s pause and ended.
  EXPECT_TRUE(window.PumpUntil([&] { return WaitForSingleObject(first, 0) == WAIT_OBJECT_0; }, 3s));
  CloseHandle(first);
  EXPECT_EQ(client.Connections(), 2);
  EXPECT_NE(StatusChannel::Process().StatusSocket(), kNoSocket);
  SendPageOff();
  ASSERT_TRUE(client.WaitForMessages(3, 5s));
  EXPECT_EQ(client.Received().back().text, "pageOff");
  EXPECT_EQ(client.Received().back().connection, 2);
}

// Nothing listens on 8000: the poller keeps trying to connect.
class StatusPollerWithoutClient : public StatusPollerWinTest {
 protected:
  void SetUp() override { state->window = window.Handle(); }
};

// Stopped while it cannot connect, it ends at its next attempt, in silence,
// and lets the module go.
TEST_F(StatusPollerWithoutClient, AStopWhileConnectingEndsThePollerAtOnce) {
  long before = ModuleLock::Count();
  StartPoller();
  window.PumpUntil([] { return false; }, 1s);  // a few attempts fail meanwhile
  EXPECT_EQ(StopAndWait(), static_cast<DWORD>(kPollerStopped));
  EXPECT_TRUE(window.Texts().empty());
  EXPECT_EQ(ModuleLock::Count(), before);  // held by the poller no longer
}

}  // namespace
}  // namespace vorlane
