#include "status/status_channel.h"

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "status_fakes.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using tests::FakeSockets;

// A thread that journals what happens to it; its duplicate handle (the one
// the channel keeps) journals as "<name> kept".
struct NamedThread final : HeldPollerThread {
  NamedThread(std::string name, std::vector<std::string>& journal) : name(std::move(name)), journal(journal) {}
  ~NamedThread() override { journal.push_back(name + " closed"); }
  void Wake() override { journal.push_back(name + " woken"); }
  PollerThreadSlot Duplicate() override { return std::make_unique<NamedThread>(name + " kept", journal); }
  void Resume() override {
    journal.push_back(name + " resumed");
    if (onResume) onResume();
  }
  std::string name;
  std::vector<std::string>& journal;
  std::function<void()> onResume;
};

class StatusChannelTest : public ::testing::Test {
 protected:
  // Starts a run whose thread is `name`, or fails to make one when name is empty.
  PollerThreadSlot Start(const std::string& name, PollerRun* run = nullptr,
                         std::function<void()> onResume = nullptr) {
    return channel.StartRun([&](PollerRun number) -> std::unique_ptr<HeldPollerThread> {
      if (run) *run = number;
      if (name.empty()) return nullptr;
      auto thread = std::make_unique<NamedThread>(name, journal);
      thread->onResume = onResume;
      return thread;
    });
  }
  std::vector<std::string> journal;  // outlives the channel's kept handle
  StatusChannel channel;
};

TEST_F(StatusChannelTest, ANewRunWakesTheRunItReplaces) {
  PollerRun first = 0, second = 0;
  PollerThreadSlot one = Start("first", &first);
  PollerThreadSlot two = Start("second", &second);
  EXPECT_THAT(journal, ElementsAre("first resumed", "first kept woken", "first kept closed", "second resumed"));
  EXPECT_FALSE(channel.IsNewest(first));
  EXPECT_TRUE(channel.IsNewest(second));
}

// A Run whose thread cannot be made leaves the poller that works alone.
TEST_F(StatusChannelTest, ARunWithoutAThreadNeitherReplacesNorWakesTheWorkingOne) {
  PollerRun working = 0, failed = 0;
  PollerThreadSlot one = Start("working", &working);
  EXPECT_EQ(Start("", &failed), nullptr);
  EXPECT_NE(failed, working);
  EXPECT_TRUE(channel.IsNewest(working));
  EXPECT_FALSE(channel.IsNewest(failed));
  EXPECT_THAT(journal, ElementsAre("working resumed"));
}

TEST_F(StatusChannelTest, AThreadRunsOnlyOnceItsRunIsTheNewest) {
  PollerRun run = 0;
  bool newestWhenResumed = false;
  PollerThreadSlot thread = Start("run", &run, [&] { newestWhenResumed = channel.IsNewest(run); });
  EXPECT_TRUE(newestWhenResumed);
}

TEST_F(StatusChannelTest, AnEndedRunLeavesNothingToWake) {
  PollerRun run = 0;
  PollerThreadSlot thread = Start("run", &run);
  channel.EndRun(run);
  channel.BeginRun();
  EXPECT_THAT(journal, ElementsAre("run resumed", "run kept closed"));
}

TEST_F(StatusChannelTest, OnlyTheNewestRunPublishesAndOnlyItsOwnSocketIsWithdrawn) {
  PollerRun old = channel.BeginRun();
  channel.Publish(old, 10);
  PollerRun newest = channel.BeginRun();
  channel.Publish(old, 11);  // the old run reconnecting
  EXPECT_EQ(channel.StatusSocket(), 10u);
  channel.Publish(newest, 20);
  channel.Withdraw(10);
  EXPECT_EQ(channel.StatusSocket(), 20u);
  channel.Withdraw(20);
  EXPECT_EQ(channel.StatusSocket(), kNoSocket);
}

TEST_F(StatusChannelTest, SendsGoToTheStatusSocketOnlyWhileOneIsOpen) {
  FakeSockets sockets;
  channel.SendOnStatusSocket(sockets, "pageOff", 8);
  EXPECT_TRUE(sockets.sent.empty());
  PollerRun run = channel.BeginRun();
  channel.Publish(run, 42);
  channel.SendOnStatusSocket(sockets, "pageOff", 8);
  EXPECT_THAT(sockets.sent, ElementsAre(std::string("pageOff", 8)));
  EXPECT_THAT(sockets.sentOn, ElementsAre(42u));
}

}  // namespace
}  // namespace vorlane
