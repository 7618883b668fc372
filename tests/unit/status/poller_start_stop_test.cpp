#include "status/poller_start_stop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_log_file.h"
#include "status_fakes.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using tests::FakeLogFile;
using tests::RecordingWindow;
using tests::ScriptedStarter;

class PollerControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallProcessLog(&log);
    OpenLog(kClientLogPath);
    state->window = 77;
    state->keepPolling = 0;  // as a previous Close left it
  }
  void TearDown() override { InstallProcessLog(nullptr); }

  FakeLogFile file;
  DiagnosticLog log{file};
  RecordingWindow window;
  ScriptedStarter starter;
  std::shared_ptr<PollerState> state = std::make_shared<PollerState>();
  PollerThreadSlot slot;
};

TEST_F(PollerControlTest, StartSetsTheFlagFirstAndKeepsTheThread) {
  EXPECT_TRUE(StartPollerForRun(state, slot, starter, window));
  EXPECT_THAT(starter.flagAtStart, ElementsAre(1));
  EXPECT_NE(slot, nullptr);
  EXPECT_TRUE(window.texts.empty());
}

TEST_F(PollerControlTest, ASecondAttemptFollowsAFailedOne) {
  starter.failures = 1;
  EXPECT_TRUE(StartPollerForRun(state, slot, starter, window));
  EXPECT_EQ(starter.flagAtStart.size(), 2u);
  EXPECT_NE(slot, nullptr);
  EXPECT_TRUE(file.Text(kClientLogPath).empty());
}

TEST_F(PollerControlTest, TwoFailedAttemptsAreLoggedAndThePageIsToldConnected) {
  starter.failures = 2;
  EXPECT_FALSE(StartPollerForRun(state, slot, starter, window));
  EXPECT_EQ(starter.flagAtStart.size(), 2u);
  EXPECT_EQ(slot, nullptr);
  std::u16string logged = file.Text(kClientLogPath);
  EXPECT_EQ(logged.find(u"[ERROR]"), 0u);
  EXPECT_NE(logged.find(u"]_beginthreadex failed!\r\n"), std::u16string::npos);
  EXPECT_THAT(window.texts, ElementsAre("Connected"));
  EXPECT_THAT(window.windows, ElementsAre(77));
}

TEST_F(PollerControlTest, AStartReplacesAHeldThreadByClosingItsHandle) {
  StartPollerForRun(state, slot, starter, window);
  StartPollerForRun(state, slot, starter, window);
  EXPECT_THAT(starter.journal, ElementsAre("closed"));
}

TEST_F(PollerControlTest, StopClearsTheFlagThenWakesThenClosesWithoutWaiting) {
  StartPollerForRun(state, slot, starter, window);
  StopPoller(*state, slot);
  EXPECT_THAT(starter.journal, ElementsAre("woken, flag 0", "closed"));
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(state->keepPolling.load(), 0);
}

TEST_F(PollerControlTest, StopWithoutAThreadLeavesTheFlagAlone) {
  state->keepPolling = 1;
  StopPoller(*state, slot);
  EXPECT_EQ(state->keepPolling.load(), 1);
  EXPECT_EQ(slot, nullptr);
}

}  // namespace
}  // namespace vorlane
