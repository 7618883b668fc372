// The local client's state reaching the page through the control: the poller
// that Run starts, Close(1) ending it, and releasing the control under it.
#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using tests::LocalClientSimulator;

// Every WM_USER+1 the control's window is given, seen on its way in: the
// window procedure is wrapped, the control's own still handles the message.
class NotificationRecorder {
 public:
  explicit NotificationRecorder(HWND window) : window_(window) {
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NotificationRecorder::Procedure)));
  }
  ~NotificationRecorder() {
    if (IsWindow(window_)) SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    seen_.clear();
  }
  static const std::vector<WPARAM>& Seen() { return seen_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER + 1) seen_.push_back(wparam);
    return CallWindowProcW(original_, window, message, wparam, lparam);
  }
  HWND window_;
  static inline WNDPROC original_ = nullptr;
  static inline std::vector<WPARAM> seen_;
};

class StatusRelay : public PortalScenarioTest {
 protected:
  void SetUp() override {
    PortalScenarioTest::SetUp();
    updater_ = std::make_unique<InstalledProgram>(u"Update", u"Update.exe");
    ASSERT_TRUE(updater_->installed());
    Embed();
  }
  void TearDown() override {
    PortalScenarioTest::TearDown();
    updater_.reset();
  }
  // Polls arrive every 500 ms while the client is not "Connected".
  bool StillPolledAfter(std::chrono::milliseconds span) {
    std::size_t before = StateRequests();
    PumpUntil([&] { return StateRequests() > before; }, span);
    return StateRequests() > before;
  }
  std::unique_ptr<InstalledProgram> updater_;
};

TEST_F(StatusRelay, ConnectedFromTheClientReachesThePageAsAnEvent) {
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return !ClientMessages().empty(); }));
  EXPECT_EQ(u"Connected", ClientMessages().front());
  EXPECT_EQ("state", client_.Received().front().text);
}

TEST_F(StatusRelay, EveryReplyReachesThePageInOrder) {
  client_.Script({LocalClientSimulator::Reply("Connecting"),
                  LocalClientSimulator::Reply("\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5"),  // 已连接
                  LocalClientSimulator::Reply("Connected")});
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return ClientMessages().size() >= 3; }));
  EXPECT_THAT(ClientMessages(), ::testing::ElementsAre(u"Connecting", u"已连接", u"Connected"));
}

// Anyone may send the control's window WM_USER+1: another thread of the
// browser, another process. While the relay runs, messages with an address
// (of a real text, of no memory), zero, or a token the relay used already are
// ignored: no event, no crash; the client's states keep reaching the page,
// one event for each message the relay sent.
TEST_F(StatusRelay, ForeignNotificationsAreIgnoredWhileTheClientsStatesStillArrive) {
  client_.Script({LocalClientSimulator::Reply("Connecting"),
                  LocalClientSimulator::Reply("\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5")});  // 已连接
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));  // keeps polls at 500 ms
  HWND window = control_->control_window();
  ASSERT_NE(nullptr, window);
  NotificationRecorder recorder(window);
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return ClientMessages().size() >= 2; }));
  EXPECT_THAT(ClientMessages(), ::testing::ElementsAre(u"Connecting", u"已连接"));
  const WPARAM used = NotificationRecorder::Seen().front();

  static const char kText[] = "Connected";
  const std::vector<WPARAM> foreign = {reinterpret_cast<WPARAM>(kText), WPARAM(0xDEAD0000BEEF), WPARAM(1),
                                       WPARAM(0), used};
  std::atomic<bool> sent{false};
  std::thread sender([&] {
    for (WPARAM wparam : foreign) SendMessageW(window, WM_USER + 1, wparam, 0);
    for (WPARAM wparam : foreign) PostMessageW(window, WM_USER + 1, wparam, 0);
    sent = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return sent.load(); }));
  sender.join();
  std::size_t eventsBefore = ClientMessages().size();
  ASSERT_TRUE(PumpUntil([&] { return ClientMessages().size() >= eventsBefore + 2; }));

  ASSERT_TRUE(Close(1));
  PumpFor(200);
  const std::vector<WPARAM>& seen = NotificationRecorder::Seen();
  for (std::size_t i = 0; i + 1 < foreign.size(); ++i)
    EXPECT_EQ(2, std::count(seen.begin(), seen.end(), foreign[i])) << foreign[i];  // sent and posted
  ASSERT_GE(seen.size(), 2 * foreign.size());
  EXPECT_EQ(seen.size() - 2 * foreign.size(), ClientMessages().size());  // one event per message of the relay
  for (const auto& text : ClientMessages()) EXPECT_NE(u"Connected", text);
}

TEST_F(StatusRelay, CloseOneSendsPageOffAndStopsThePolls) {
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));  // keeps polls at 500 ms
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return StateRequests() >= 2; }));
  ASSERT_TRUE(Close(1));
  ASSERT_TRUE(PumpUntil([&] {
    auto received = client_.Received();
    return !received.empty() && received.back().text == "pageOff";
  }));
  EXPECT_FALSE(StillPolledAfter(2000ms));
  for (const auto& message : client_.Received())
    EXPECT_TRUE(message.text == "state" || message.text == "pageOff") << message.text;
}

TEST_F(StatusRelay, ReleasingTheControlWhilePollingEndsThePollerAndLeavesTheModuleUnloadable) {
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return StateRequests() >= 2; }));
  EXPECT_EQ(S_FALSE, ControlCanUnloadNow());  // the control and its poller are in use
  ASSERT_TRUE(ReleaseAndWaitForThreads());
  EXPECT_FALSE(StillPolledAfter(2000ms));
}

TEST_F(StatusRelay, ASecondRunTakesOverFromTheFirstPoller) {
  client_.SetDefault(LocalClientSimulator::Reply("Connecting"));
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return client_.Connections() >= 1 && StateRequests() >= 1; }));
  ASSERT_TRUE(RunOnPortal());
  ASSERT_TRUE(PumpUntil([&] { return client_.Connections() >= 2; }));
  ASSERT_TRUE(Close(1));
  ASSERT_TRUE(PumpUntil([&] {
    auto received = client_.Received();
    return !received.empty() && received.back().text == "pageOff";
  }));
  // pageOff went on the newest poller's connection, and no poller is left.
  EXPECT_EQ(2, client_.Received().back().connection);
  EXPECT_FALSE(StillPolledAfter(2000ms));
}

}  // namespace
}  // namespace vorlane::scenarios
