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

}  // namespace
}  // namespace vorlane
