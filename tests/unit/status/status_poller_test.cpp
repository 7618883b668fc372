#include "status/status_poller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_log_file.h"
#include "status_fakes.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::Each;
using tests::Closed;
using tests::Failed;
using tests::FakeLogFile;
using tests::FakePauses;
using tests::FakeSockets;
using tests::kTimedOut;
using tests::RecordingWindow;
using tests::Reply;

const std::string kState("state", 6);

class StatusPollerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallProcessLog(&log);
    OpenLog(kClientLogPath);
    state->window = 0x1234;
    run = channel.BeginRun();
  }
  void TearDown() override { InstallProcessLog(nullptr); }

  // Runs until the flag is cleared during the given alertable pause.
  int RunCycles(int cycles) {
    pauses.onAlertablePause = [&](int k) {
      if (k == cycles) state->keepPolling = 0;
    };
    return Run();
  }
  int Run() {
    StatusPoller poller({sockets, pauses, window}, state, channel, run);
    int code = poller.Run();
    finalInterval = poller.PollInterval();
    return code;
  }
  std::u16string Log() { return file.Text(kClientLogPath); }

  FakeLogFile file;
  DiagnosticLog log{file};
  FakeSockets sockets;
  FakePauses pauses;
  RecordingWindow window;
  StatusChannel channel;
  std::shared_ptr<PollerState> state = std::make_shared<PollerState>();
  PollerRun run = 0;
  std::uint32_t finalInterval = 0;
};

TEST_F(StatusPollerTest, ClientNotRunningGivesUpAfter360AttemptsAndTellsThePageConnected) {
  sockets.failedConnects = 1000;
  EXPECT_EQ(Run(), kPollerFailed);

  EXPECT_EQ(sockets.connectPorts.size(), 360u);
  EXPECT_THAT(sockets.connectPorts, Each(8000));
  // Every failed attempt is followed by a 400 ms pause that nothing shortens
  // and a fresh socket; the 360th attempt's replacement is made too.
  ASSERT_EQ(pauses.pauses.size(), 360u);
  for (auto& p : pauses.pauses) {
    EXPECT_EQ(p.milliseconds, 400u);
    EXPECT_FALSE(p.alertable);
  }
  EXPECT_EQ(pauses.now, 144000u);
  EXPECT_EQ(sockets.opened.size(), 361u);
  EXPECT_EQ(sockets.closed, sockets.opened);
  EXPECT_TRUE(sockets.sent.empty());

  EXPECT_THAT(window.texts, ElementsAre("Connected"));
  EXPECT_NE(Log().find(u"[ERROR]"), std::u16string::npos);
  EXPECT_NE(Log().find(u"]connect error!\r\n"), std::u16string::npos);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_EQ(channel.StatusSocket(), kNoSocket);
}

TEST_F(StatusPollerTest, EverySocketGetsBothTimeoutsAndTheConnectionIsLoopback8000) {
  sockets.failedConnects = 2;
  RunCycles(1);
  EXPECT_EQ(sockets.requestedVersion, 0x0202);
  EXPECT_EQ(sockets.opened.size(), 3u);
  EXPECT_THAT(sockets.receiveTimeouts, ElementsAre(1500, 1500, 1500));
  EXPECT_THAT(sockets.sendTimeouts, ElementsAre(1500, 1500, 1500));
  // Each attempt uses the socket made for it.
  EXPECT_EQ(sockets.connectSockets, sockets.opened);
}

struct FailureCase {
  const char* name;
  std::function<void(FakeSockets&)> arrange;
  std::vector<std::u16string> messages;
  int cleanups = 1;  // Winsock is stopped only when it was started
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class StatusPollerFailureTest : public StatusPollerTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StatusPollerFailureTest, LogsTellsThePageConnectedClosesAndCleansUp) {
  GetParam().arrange(sockets);
  EXPECT_EQ(Run(), kPollerFailed);

  std::u16string logged = Log();
  std::size_t at = 0;
  for (auto& message : GetParam().messages) {
    at = logged.find(u"]" + message + u"\r\n", at);
    ASSERT_NE(at, std::u16string::npos) << "missing, or out of order: "
                                        << std::string(message.begin(), message.end());
  }
  std::size_t errors = 0;
  for (std::size_t i = logged.find(u"[ERROR]"); i != std::u16string::npos;
       i = logged.find(u"[ERROR]", i + 1))
    ++errors;
  EXPECT_EQ(errors, GetParam().messages.size());
  EXPECT_EQ(std::count(logged.begin(), logged.end(), u'\n'),
            static_cast<long>(GetParam().messages.size()));
  EXPECT_THAT(window.texts, ElementsAre("Connected"));
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, GetParam().cleanups);
  EXPECT_EQ(sockets.closed, sockets.opened);
  EXPECT_EQ(channel.StatusSocket(), kNoSocket);
  EXPECT_TRUE(sockets.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachFailure, StatusPollerFailureTest,
    ::testing::Values(
        FailureCase{"Startup", [](FakeSockets& s) { s.startupWorks = false; }, {u"WSAStartup error!"}, 0},
        FailureCase{"Version11", [](FakeSockets& s) { s.grantedVersion = 0x0101; },
                    {u"LOBYTE || HIBYTE error!"}},
        FailureCase{"Version21", [](FakeSockets& s) { s.grantedVersion = 0x0102; },
                    {u"LOBYTE || HIBYTE error!"}},
        FailureCase{"NoSocket", [](FakeSockets& s) { s.socketsLeft = 0; },
                    {u"create socket error!", u"InitSocket error!"}},
        FailureCase{"ReceiveTimeout", [](FakeSockets& s) { s.receiveTimeoutWorks = false; },
                    {u"setsockopt SO_RCVTIMEO error!", u"InitSocket error!"}},
        FailureCase{"SendTimeout", [](FakeSockets& s) { s.sendTimeoutWorks = false; },
                    {u"setsockopt SOL_SOCKET error!", u"InitSocket error!"}},
        FailureCase{"ReplacementSocket",
                    [](FakeSockets& s) {
                      s.failedConnects = 5;
                      s.socketsLeft = 3;
                    },
                    {u"create socket error!", u"InitSocket error!"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatusPollerTest, RepliesReachThePageAsReceivedAndConnectedSlowsThePollsForGood) {
  sockets.receives = {Reply("Busy"), Reply("Connecting"), Reply("Connected"),
                      Reply("Disconnected"), Reply("x")};
  EXPECT_EQ(RunCycles(5), kPollerStopped);

  EXPECT_THAT(window.texts, ElementsAre("Busy", "Connecting", "Connected", "Disconnected", "x"));
  EXPECT_THAT(window.windows, Each(0x1234));
  EXPECT_THAT(pauses.Alertable(), ElementsAre(500, 500, 5000, 5000, 5000));
  EXPECT_THAT(sockets.sent, Each(kState));
  EXPECT_EQ(sockets.sent.size(), 5u);
  // At most 127 bytes per receive, leaving room for the NUL.
  EXPECT_THAT(sockets.receiveCapacities, Each(127));
}

struct MatchCase {
  std::string reply;
  bool matches;
};

class ConnectedMatchTest : public StatusPollerTest,
                           public ::testing::WithParamInterface<MatchCase> {};

TEST_P(ConnectedMatchTest, FirstReplyDecidesTheNextPause) {
  sockets.receives = {Reply(GetParam().reply)};
  RunCycles(1);
  EXPECT_EQ(finalInterval, GetParam().matches ? 5000u : 500u);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ConnectedMatchTest,
    ::testing::Values(MatchCase{"Connected", true}, MatchCase{"Con", true}, MatchCase{"C", true},
                      MatchCase{std::string("Connected\0junk", 14), true},
                      MatchCase{std::string("Con\0xyz", 7), false},
                      MatchCase{"ConnectedX", false}, MatchCase{"Connected ", false},
                      MatchCase{"Cox", false}, MatchCase{"connected", false},
                      MatchCase{"CONNECTED", false}, MatchCase{"Disconnected", false}));

TEST_F(StatusPollerTest, PiecesAndBatchedRepliesAreNotifiedAsTheReceivesReturnThem) {
  sockets.receives = {Reply("Conn"), Reply("ectedBusy"), Reply(std::string("ab\0cd", 5))};
  RunCycles(3);
  // The first piece alone is a leading part of "Connected" and matches.
  EXPECT_THAT(window.texts, ElementsAre("Conn", "ectedBusy", "ab"));
  EXPECT_THAT(pauses.Alertable(), ElementsAre(5000, 5000, 5000));
}

TEST_F(StatusPollerTest, ALongReplyIsTakenIn127BytePiecesOneNotificationEach) {
  sockets.receives = {Reply(std::string(200, 'a'))};
  RunCycles(2);
  EXPECT_THAT(window.texts, ElementsAre(std::string(127, 'a'), std::string(73, 'a')));
}

TEST_F(StatusPollerTest, OnlyTheFourConnectionErrorsMeanDisconnected) {
  for (int error : {10022, 10052, 10053, 10054, kTimedOut, 10035, 10057}) {
    sockets.sends.push_back(Failed(error));
    sockets.receives.push_back(Failed(error));
  }
  RunCycles(7);
  // Each of the four gives one "Disconnected" for the send and one for the
  // receive; the others pass silently, and every cycle still receives.
  EXPECT_EQ(window.texts, std::vector<std::string>(8, "Disconnected"));
  EXPECT_EQ(sockets.receiveCapacities.size(), 7u);
}

TEST_F(StatusPollerTest, ClosedConnectionGivesDisconnectedEveryCycleWithoutReconnecting) {
  sockets.receives = {Closed(), Closed(), Closed(), Closed()};
  sockets.sends = {{6}, Failed(10054), Failed(10053), Failed(10053)};
  RunCycles(4);
  EXPECT_THAT(window.texts, ElementsAre("Disconnected", "Disconnected", "Disconnected",
                                        "Disconnected", "Disconnected", "Disconnected",
                                        "Disconnected"));
  EXPECT_EQ(sockets.connectPorts.size(), 1u);
  EXPECT_EQ(sockets.opened.size(), 1u);
  EXPECT_EQ(sockets.sent.size(), 4u);
}

TEST_F(StatusPollerTest, AThrowMidRunStillClosesTheSocketAndEndsItsWinsockStart) {
  pauses.onAlertablePause = [](int) { throw std::bad_alloc(); };
  EXPECT_THROW(Run(), std::bad_alloc);
  ASSERT_EQ(1u, sockets.opened.size());
  EXPECT_EQ(sockets.opened, sockets.closed);
  EXPECT_EQ(1, sockets.cleanups);
}

TEST_F(StatusPollerTest, TheFlagIsTestedBeforeTheFirstCycle) {
  state->keepPolling = 0;
  EXPECT_EQ(Run(), kPollerStopped);
  EXPECT_TRUE(sockets.sent.empty());
  EXPECT_TRUE(window.texts.empty());
  EXPECT_EQ(sockets.closed, sockets.opened);
  EXPECT_EQ(sockets.cleanups, 1);
}

TEST_F(StatusPollerTest, ClearingTheFlagDuringAPauseEndsTheThreadWithoutAnotherState) {
  sockets.receives = {Reply("Busy"), Reply("Busy"), Reply("Busy")};
  EXPECT_EQ(RunCycles(2), kPollerStopped);
  EXPECT_EQ(sockets.sent.size(), 2u);
  EXPECT_EQ(pauses.alertable, 2);
  EXPECT_EQ(sockets.closed, sockets.opened);
  EXPECT_EQ(channel.StatusSocket(), kNoSocket);
  EXPECT_EQ(sockets.cleanups, 1);
}

TEST_F(StatusPollerTest, AStopDuringAReceiveEndsTheThreadWithoutPausing) {
  sockets.receives = {Reply("Connected")};
  sockets.onReceive = [&] { state->keepPolling = 0; };
  EXPECT_EQ(Run(), kPollerStopped);
  EXPECT_EQ(sockets.sent.size(), 1u);
  EXPECT_TRUE(pauses.pauses.empty());
  EXPECT_EQ(sockets.closed, sockets.opened);
}

// Told to stop, or replaced by a newer run, while the client is not there:
// the next attempt is not made, and the page and the log hear nothing.
TEST_F(StatusPollerTest, AStopWhileConnectingEndsBeforeTheNextAttemptInSilence) {
  for (bool replaced : {false, true}) {
    SCOPED_TRACE(replaced ? "replaced" : "flag cleared");
    sockets = FakeSockets();
    pauses = FakePauses();
    state->keepPolling = 1;
    run = channel.BeginRun();
    sockets.failedConnects = 1000;
    pauses.onPause = [&](int k) {
      if (k < 3) return;
      if (replaced)
        channel.BeginRun();
      else
        state->keepPolling = 0;
    };
    EXPECT_EQ(Run(), kPollerStopped);
    EXPECT_EQ(sockets.connectPorts.size(), 3u);
    EXPECT_EQ(pauses.now, 1200u);
    EXPECT_TRUE(sockets.sent.empty());
    EXPECT_TRUE(window.texts.empty());
    EXPECT_EQ(Log(), u"");
    EXPECT_EQ(sockets.closed, sockets.opened);
    EXPECT_EQ(sockets.cleanups, 1);
  }
}

TEST_F(StatusPollerTest, AStopDuringTheLastPauseIsNotReportedAsAFailure) {
  sockets.failedConnects = 1000;
  pauses.onPause = [&](int k) {
    if (k == kConnectAttempts) state->keepPolling = 0;
  };
  EXPECT_EQ(Run(), kPollerStopped);
  EXPECT_EQ(sockets.connectPorts.size(), 360u);
  EXPECT_TRUE(window.texts.empty());
  EXPECT_EQ(Log(), u"");
}

TEST_F(StatusPollerTest, AConnectionMadeAfterAStopCameIsClosedUnused) {
  sockets.failedConnects = 0;
  sockets.onConnect = [&] { state->keepPolling = 0; };
  EXPECT_EQ(Run(), kPollerStopped);
  EXPECT_EQ(sockets.connectPorts.size(), 1u);
  EXPECT_TRUE(sockets.sent.empty());
  EXPECT_TRUE(window.texts.empty());
  EXPECT_EQ(sockets.closed, sockets.opened);
}

TEST_F(StatusPollerTest, NotificationsGoToTheWindowTheControlHasNow) {
  sockets.receives = {Reply("a"), Reply("b")};
  pauses.onAlertablePause = [&](int k) {
    state->window = 0;  // the control lost its window
    if (k == 2) state->keepPolling = 0;
  };
  Run();
  EXPECT_THAT(window.windows, ElementsAre(0x1234, 0));
}

TEST_F(StatusPollerTest, ANewerRunTakesOverTheStatusSocketAndStopsThisOne) {
  sockets.receives = {Reply("Busy"), Reply("Busy")};
  SocketHandle duringPoll = kNoSocket, newer = 9999;
  pauses.onAlertablePause = [&](int) {
    channel.BeginRun();  // another control's Run
    channel.Publish(run + 1, newer);
    duringPoll = channel.StatusSocket();
  };
  EXPECT_EQ(Run(), kPollerStopped);
  EXPECT_EQ(duringPoll, newer);
  EXPECT_EQ(sockets.sent.size(), 1u);
  // Closing its own socket does not take the newer run's away.
  EXPECT_EQ(channel.StatusSocket(), newer);
}

TEST_F(StatusPollerTest, TheStatusSocketNamesTheConnectedSocketWhilePolling) {
  sockets.failedConnects = 1;
  SocketHandle seen = kNoSocket;
  pauses.onAlertablePause = [&](int) {
    seen = channel.StatusSocket();
    state->keepPolling = 0;
  };
  Run();
  EXPECT_EQ(seen, sockets.opened.back());
  EXPECT_EQ(channel.StatusSocket(), kNoSocket);
}

}  // namespace
}  // namespace vorlane
