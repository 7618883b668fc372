#include "status/status_relay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "status/status_channel.h"
#include "status/utf8_decoder.h"
#include "status_fakes.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Optional;
using tests::FakeSockets;
using tests::RecordingWindow;
using tests::ScriptedStarter;

class StatusRelayTest : public ::testing::Test {
 protected:
  // The status socket of a poller run, as a connected poller publishes it.
  void OpenStatusSocket() {
    run = StatusChannel::Process().BeginRun();
    StatusChannel::Process().Publish(run, 42);
  }
  void TearDown() override {
    StatusChannel::Process().Withdraw(42);
    StatusChannel::Process().EndRun(run);
  }

  ScriptedStarter starter;
  RecordingWindow window;
  FakeSockets sockets;
  Utf8Decoder converter;
  PollerRun run = 0;
};

// Close(1) as the control makes it: the client hears "pageOff" on the
// newest poller's socket, and only then is the poller stopped.
TEST_F(StatusRelayTest, PageOffGoesOnTheStatusSocketThenStopWakesAndLetsGo) {
  StatusRelay relay({starter, window, sockets, converter});
  ASSERT_TRUE(relay.Start());
  OpenStatusSocket();
  relay.SendPageOff();
  EXPECT_THAT(sockets.sent, ElementsAre(std::string("pageOff", 8)));
  EXPECT_THAT(sockets.sentOn, ElementsAre(42u));
  EXPECT_THAT(starter.journal, IsEmpty());
  relay.Stop();
  EXPECT_THAT(starter.journal, ElementsAre("woken, flag 0", "closed"));
  relay.Stop();  // a second Close finds no poller
  EXPECT_EQ(starter.journal.size(), 2u);
}

TEST_F(StatusRelayTest, PageOffWithoutAStatusSocketSendsNothing) {
  StatusRelay relay({starter, window, sockets, converter});
  relay.SendPageOff();
  EXPECT_THAT(sockets.sent, IsEmpty());
}

TEST_F(StatusRelayTest, TheWindowSetLastIsToldConnectedWhenNoPollerStarts) {
  starter.failures = 2;
  StatusRelay relay({starter, window, sockets, converter});
  relay.SetWindow(77);
  EXPECT_FALSE(relay.Start());
  EXPECT_THAT(window.windows, ElementsAre(77u));
  EXPECT_THAT(window.texts, ElementsAre("Connected"));
}

TEST_F(StatusRelayTest, ARelayThatGoesStopsItsPoller) {
  {
    StatusRelay relay({starter, window, sockets, converter});
    relay.Start();
  }
  EXPECT_THAT(starter.journal, ElementsAre("woken, flag 0", "closed"));
}

TEST_F(StatusRelayTest, EventTextIsTheNotificationInUtf16) {
  StatusRelay relay({starter, window, sockets, converter});
  EXPECT_EQ(relay.EventText("Connected"), u"Connected");
  EXPECT_EQ(relay.EventText("\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5"), u"\u5DF2\u8FDE\u63A5");
  EXPECT_EQ(relay.EventText(""), u"");
}

// The window's side of the hand-over, as the control's window procedure uses it.
TEST_F(StatusRelayTest, TheWindowGetsAnEventTextOnlyForATokenHandedOverForIt) {
  NotificationHandOver& table = NotificationHandOver::Process();
  StatusRelay relay({starter, window, sockets, converter});
  NotificationToken early = table.Offer(77, "early");
  EXPECT_EQ(relay.TakeEventText(early), std::nullopt);  // no window yet
  relay.SetWindow(77);
  NotificationToken ours = table.Offer(77, "\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5");
  NotificationToken another = table.Offer(78, "Connected");
  EXPECT_EQ(relay.TakeEventText(another), std::nullopt);
  EXPECT_EQ(relay.TakeEventText(0), std::nullopt);
  EXPECT_THAT(relay.TakeEventText(ours), Optional(std::u16string(u"\u5DF2\u8FDE\u63A5")));
  EXPECT_EQ(relay.TakeEventText(ours), std::nullopt);
  EXPECT_THAT(relay.TakeEventText(early), Optional(std::u16string(u"early")));
  table.Withdraw(another);
}

TEST_F(StatusRelayTest, TextsLeftForAWindowAreFreedWhenItIsReplacedAndWhenTheRelayGoes) {
  NotificationHandOver& table = NotificationHandOver::Process();
  std::size_t before = table.Waiting();
  NotificationToken other = table.Offer(99, "another relay's");
  {
    StatusRelay relay({starter, window, sockets, converter});
    relay.SetWindow(77);
    table.Offer(77, "left");
    relay.SetWindow(88);
    EXPECT_EQ(table.Waiting(), before + 1);
    table.Offer(88, "late");
    relay.SetWindow(88);  // the same window again keeps what waits for it
    EXPECT_EQ(table.Waiting(), before + 2);
  }
  EXPECT_EQ(table.Waiting(), before + 1);
  table.Withdraw(other);
}

}  // namespace
}  // namespace vorlane
