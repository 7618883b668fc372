// The local client's status service misbehaving under the poller that Run
// starts: the page is told only what the poller is made to tell it (the
// client's bytes as received, "Disconnected" for a lost connection, nothing
// for silence), no reply overruns the 127-byte texts, and releasing the
// control ends the poller within one pause or receive time-out.
#include <gmock/gmock.h>

#include "fault_row.h"
#include "common/message_pump.h"
#include "status/status_poller.h"

namespace vorlane::scenarios {
namespace {

using tests::LocalClientSimulator;

constexpr std::chrono::milliseconds kPollPace{kPollIntervalMs};
constexpr std::chrono::milliseconds kReceiveTimeout{kStatusSocketTimeoutMs};
constexpr std::chrono::milliseconds kConnectPace{kConnectRetryPauseMs};
// A released control's poller ends after the receive or pause it is in.
constexpr std::chrono::milliseconds kPollerEndsBound = kReceiveTimeout + kPollPace + 1000ms;

class LocalClientFaults : public FaultRow {
 protected:
  void SetUp() override {
    FaultRow::SetUp();
    updater_ = std::make_unique<InstalledProgram>(u"Update", u"Update.exe");
    ASSERT_TRUE(updater_->installed());
  }
  void TearDown() override {
    FaultRow::TearDown();
    updater_.reset();
  }
  void RunOnPage() {
    Embed();
    ASSERT_TRUE(RunOnPortal());
  }
  bool MessagesAtLeast(std::size_t count, std::chrono::milliseconds limit) {
    return PumpUntil([&] { return ClientMessages().size() >= count; }, limit);
  }
  void ObservedMessages() {
    std::string seen;
    for (const auto& text : ClientMessages()) seen += (seen.empty() ? "\"" : ", \"") + Narrow(text.substr(0, 12)) +
                                                     (text.size() > 12 ? "...\"" : "\"");
    Observed(std::to_string(ClientMessages().size()) + " events: " + seen.substr(0, 200));
  }

  std::unique_ptr<InstalledProgram> updater_;
};

TEST_F(LocalClientFaults, Absent) {
  client_.Stop();
  RunOnPage();
  // Connecting goes on for 360 attempts, 400 ms apart, before the page hears
  // "Connected"; for the first seconds it hears nothing.
  tests::PumpFor(static_cast<int>(5 * kConnectPace.count()));
  EXPECT_TRUE(ClientMessages().empty());
  EXPECT_EQ(std::u16string::npos, LogText().find(u"connect error!", logStart_));
  Observed("nothing told while the poller keeps connecting");
  ExpectUnloadedWithin(kConnectPace + 1000ms);
}

TEST_F(LocalClientFaults, SilentNeverReplies) {
  client_.SetDefault(LocalClientSimulator::Silent());
  RunOnPage();
  // Each cycle waits out the receive time-out, then pauses.
  ASSERT_TRUE(PumpUntil([&] { return StateRequests() >= 2; }, 2 * (kReceiveTimeout + kPollPace) + 1000ms));
  EXPECT_TRUE(ClientMessages().empty());
  Observed(std::to_string(StateRequests()) + " state requests unanswered, nothing told");
  ExpectUnloadedWithin(kPollerEndsBound);
}

TEST_F(LocalClientFaults, ClosesAtOnce) {
  client_.SetGreeting(LocalClientSimulator::Greeting::Close);
  RunOnPage();
  ASSERT_TRUE(MessagesAtLeast(3, 4 * kPollPace + 1000ms));
  for (const auto& text : ClientMessages()) EXPECT_EQ(u"Disconnected", text);
  EXPECT_EQ(1, client_.Connections()) << "the poller does not connect again";
  ObservedMessages();
  ExpectUnloadedWithin(kPollerEndsBound);
}

TEST_F(LocalClientFaults, ClosesMidReply) {
  client_.SetDefault({{"Discon"}, 0ms, true});
  RunOnPage();
  ASSERT_TRUE(MessagesAtLeast(3, 4 * kPollPace + 1000ms));
  auto texts = ClientMessages();
  EXPECT_EQ(u"Discon", texts[0]);
  for (std::size_t i = 1; i < texts.size(); ++i) EXPECT_EQ(u"Disconnected", texts[i]);
  EXPECT_EQ(1, client_.Connections());
  ObservedMessages();
  ExpectUnloadedWithin(kPollerEndsBound);
}

TEST_F(LocalClientFaults, FloodsAMegabyteUnasked) {
  constexpr std::size_t kFlood = 1 << 20;
  client_.SetGreeting(LocalClientSimulator::Greeting::Flood, kFlood);
  RunOnPage();
  // One receive of at most 127 bytes a cycle, each relayed as it came.
  ASSERT_TRUE(MessagesAtLeast(4, 5 * kPollPace + 1000ms));
  std::u16string relayed;
  for (const auto& text : ClientMessages()) {
    EXPECT_LE(text.size(), kReplyCapacity - 1);
    EXPECT_FALSE(text.empty());
    relayed += text;
  }
  for (std::size_t i = 0; i < relayed.size(); ++i)
    ASSERT_EQ(static_cast<char16_t>(LocalClientSimulator::FloodByte(i)), relayed[i]) << "at byte " << i;
  ObservedMessages();
  ExpectUnloadedWithin(kPollerEndsBound);
}

TEST_F(LocalClientFaults, TricklesOneByteAtATime) {
  const std::string reply = "Disconnected";
  std::vector<std::string> bytes;
  for (char c : reply) bytes.emplace_back(1, c);
  client_.SetDefault(LocalClientSimulator::ReplyInPieces(bytes, 100ms));
  RunOnPage();
  ASSERT_TRUE(MessagesAtLeast(3, 6 * kPollPace + 1000ms));
  // Texts as the receives return them: together, the bytes in the order sent.
  std::u16string relayed;
  for (const auto& text : ClientMessages()) relayed += text;
  std::u16string sent;
  while (sent.size() < relayed.size()) sent += u"Disconnected";
  EXPECT_EQ(sent.substr(0, relayed.size()), relayed);
  EXPECT_EQ(u"D", ClientMessages()[0]);
  ObservedMessages();
  ExpectUnloadedWithin(kPollerEndsBound);
}

TEST_F(LocalClientFaults, Resets) {
  client_.SetDefault(LocalClientSimulator::ResetConnection());
  RunOnPage();
  ASSERT_TRUE(MessagesAtLeast(2, 4 * kPollPace + 1000ms));
  for (const auto& text : ClientMessages()) EXPECT_EQ(u"Disconnected", text);
  EXPECT_EQ(1, client_.Connections());
  ObservedMessages();
  ExpectUnloadedWithin(kPollerEndsBound);
}

TEST_F(LocalClientFaults, AbsentThenAppearing) {
  client_.Stop();
  RunOnPage();
  tests::PumpFor(static_cast<int>(3 * kConnectPace.count()));
  EXPECT_TRUE(ClientMessages().empty());
  ASSERT_TRUE(client_.Start());
  // The next attempt, one pause later, connects.
  ASSERT_TRUE(MessagesAtLeast(1, 2 * kConnectPace + 1000ms));
  EXPECT_EQ(u"Connected", ClientMessages()[0]);
  EXPECT_EQ(1, client_.Connections());
  ObservedMessages();
  ExpectUnloadedWithin(kPollerEndsBound);
}

}  // namespace
}  // namespace vorlane::scenarios
