#include "status/notification_hand_over.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::Optional;

constexpr WindowHandle kWindow = 0x1234;
constexpr WindowHandle kOtherWindow = 0x5678;

TEST(NotificationHandOver, ATextIsTakenOnceAndOnlyByTheWindowItWasOfferedFor) {
  NotificationHandOver table(7);
  NotificationToken token = table.Offer(kWindow, "Connected");
  EXPECT_EQ(table.Take(kOtherWindow, token), std::nullopt);
  EXPECT_EQ(table.Take(0, token), std::nullopt);
  EXPECT_THAT(table.Take(kWindow, token), Optional(std::string("Connected")));
  EXPECT_EQ(table.Take(kWindow, token), std::nullopt);
  EXPECT_EQ(table.Waiting(), 0u);
}

// What a foreign sender can put in the message: nothing names a text.
TEST(NotificationHandOver, ValuesItDidNotHandOutNameNothing) {
  NotificationHandOver table(7);
  std::string sendersText = "Connected";
  NotificationToken token = table.Offer(kWindow, "Disconnected");
  for (NotificationToken forged : {NotificationToken{0}, token + 1, token - 1, token ^ 1,
                                   reinterpret_cast<NotificationToken>(sendersText.c_str()),
                                   reinterpret_cast<NotificationToken>(&table), ~NotificationToken{0}})
    EXPECT_EQ(table.Take(kWindow, forged), std::nullopt) << forged;
  // Nor does a token of another table, as a token of an earlier run would be.
  NotificationHandOver earlier(8);
  EXPECT_EQ(table.Take(kWindow, earlier.Offer(kWindow, "Connected")), std::nullopt);
  EXPECT_THAT(table.Take(kWindow, token), Optional(std::string("Disconnected")));
}

TEST(NotificationHandOver, TokensAreNeverZeroOrRepeatedAndDependOnTheSecret) {
  NotificationHandOver first(1), second(2);
  std::set<NotificationToken> seen;
  for (int i = 0; i < 10000; ++i) {
    NotificationToken token = first.Offer(kWindow, "x");
    EXPECT_NE(token, 0u);
    EXPECT_TRUE(seen.insert(token).second) << "repeated after " << i;
    EXPECT_NE(token, second.Offer(kWindow, "x"));
    first.Withdraw(token);
  }
}

TEST(NotificationHandOver, WithdrawFreesAnUntakenTextAndMakesItsTokenStale) {
  NotificationHandOver table(7);
  NotificationToken kept = table.Offer(kWindow, "kept");
  NotificationToken dropped = table.Offer(kWindow, "dropped");
  table.Withdraw(dropped);
  EXPECT_EQ(table.Waiting(), 1u);
  EXPECT_EQ(table.Take(kWindow, dropped), std::nullopt);
  table.Withdraw(dropped);  // a second time, or after the window took it: nothing happens
  EXPECT_THAT(table.Take(kWindow, kept), Optional(std::string("kept")));
  table.Withdraw(kept);
  EXPECT_EQ(table.Waiting(), 0u);
}

TEST(NotificationHandOver, AFullTableDropsItsOldestText) {
  NotificationHandOver table(7);
  std::vector<NotificationToken> tokens;
  for (std::size_t i = 0; i <= NotificationHandOver::kCapacity; ++i)
    tokens.push_back(table.Offer(kWindow, std::to_string(i)));
  EXPECT_EQ(table.Waiting(), NotificationHandOver::kCapacity);
  EXPECT_EQ(table.Take(kWindow, tokens.front()), std::nullopt);
  EXPECT_THAT(table.Take(kWindow, tokens[1]), Optional(std::string("1")));
  EXPECT_THAT(table.Take(kWindow, tokens.back()), Optional(std::to_string(NotificationHandOver::kCapacity)));
}

TEST(NotificationHandOver, AWindowThatGoesHasItsTextsFreedAndNoOtherWindowLosesAny) {
  NotificationHandOver table(7);
  NotificationToken gone = table.Offer(kWindow, "a");
  table.Offer(kWindow, "b");
  NotificationToken other = table.Offer(kOtherWindow, "c");
  table.Forget(kWindow);
  EXPECT_EQ(table.Waiting(), 1u);
  EXPECT_EQ(table.Take(kWindow, gone), std::nullopt);
  EXPECT_THAT(table.Take(kOtherWindow, other), Optional(std::string("c")));
}

// The sender's side: the window sees a token, never the text's address, can
// take the text while the send lasts, and nothing is left waiting afterwards
// whether it took it or not.
TEST(NotifyThroughHandOver, TheWindowTakesTheTextDuringTheSendAndNothingOutlivesIt) {
  NotificationHandOver table(7);
  const char text[] = "\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5";
  std::vector<std::string> taken;
  NotifyThroughHandOver(table, kWindow, text, [&](NotificationToken token) {
    EXPECT_NE(token, reinterpret_cast<NotificationToken>(text));
    if (auto got = table.Take(kWindow, token)) taken.push_back(*got);
  });
  NotifyThroughHandOver(table, kWindow, "ignored", [](NotificationToken) {});
  EXPECT_THAT(taken, ElementsAre(text));
  EXPECT_EQ(table.Waiting(), 0u);

  // A send that throws takes its text back too.
  EXPECT_THROW(NotifyThroughHandOver(table, kWindow, "x", [](NotificationToken) { throw 1; }), int);
  EXPECT_EQ(table.Waiting(), 0u);
}

TEST(NotifyThroughHandOver, NothingIsSentWithoutAWindow) {
  NotificationHandOver table(7);
  int sends = 0;
  NotifyThroughHandOver(table, 0, "Connected", [&](NotificationToken) { ++sends; });
  EXPECT_EQ(sends, 0);
  EXPECT_EQ(table.Waiting(), 0u);
}

}  // namespace
}  // namespace vorlane
