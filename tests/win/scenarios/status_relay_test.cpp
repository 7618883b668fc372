// The local client's state reaching the page through the control: the poller
// that Run starts, Close(1) ending it, and releasing the control under it.
#include <gmock/gmock.h>

#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using tests::LocalClientSimulator;

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
