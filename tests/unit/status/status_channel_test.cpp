#include "status/status_channel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "status_fakes.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using tests::FakeSockets;

struct NamedThread final : PollerThread {
  NamedThread(std::string name, std::vector<std::string>& journal) : name(std::move(name)), journal(journal) {}
  ~NamedThread() override { journal.push_back(name + " closed"); }
  void Wake() override { journal.push_back(name + " woken"); }
  std::string name;
  std::vector<std::string>& journal;
};

class StatusChannelTest : public ::testing::Test {
 protected:
  PollerThreadSlot Thread(std::string name) { return std::make_unique<NamedThread>(name, journal); }
  StatusChannel channel;
  std::vector<std::string> journal;
};

TEST_F(StatusChannelTest, ANewRunWakesTheRunItReplaces) {
  PollerRun first = channel.BeginRun();
  channel.AttachThread(first, Thread("first"));
  PollerRun second = channel.BeginRun();
  EXPECT_THAT(journal, ElementsAre("first woken", "first closed"));
  EXPECT_FALSE(channel.IsNewest(first));
  EXPECT_TRUE(channel.IsNewest(second));
}

TEST_F(StatusChannelTest, AThreadOfASupersededRunIsNotKept) {
  PollerRun first = channel.BeginRun();
  channel.BeginRun();
  channel.AttachThread(first, Thread("late"));
  EXPECT_THAT(journal, ElementsAre("late closed"));
}

TEST_F(StatusChannelTest, AnEndedRunLeavesNothingToWake) {
  PollerRun run = channel.BeginRun();
  channel.AttachThread(run, Thread("run"));
  channel.EndRun(run);
  channel.BeginRun();
  EXPECT_THAT(journal, ElementsAre("run closed"));
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
