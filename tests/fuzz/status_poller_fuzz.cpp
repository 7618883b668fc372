// The status poller against a scripted local client: how Winsock starts, how
// many connection attempts fail, and what every send and receive of the
// polling cycles gives. What the page is told, the pauses between polls and
// the sockets' lifetimes must follow from that script alone.
//
// Input (read with FuzzedDataProvider): the platform's answers, the number
// of polling cycles before Close, then per cycle a send result and a
// receive result (bytes, the client closing, or an error).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "status/status_fakes.h"
#include "status/status_poller.h"

namespace vorlane::fuzz {
namespace {

using tests::SocketResult;

constexpr int kErrors[] = {kSocketErrorInvalid, kSocketErrorNetworkReset, kSocketErrorAborted, kSocketErrorReset,
                           tests::kTimedOut, 10035 /* WSAEWOULDBLOCK */};

bool IsConnectionLost(int error) {
  return error == kSocketErrorInvalid || error == kSocketErrorNetworkReset || error == kSocketErrorAborted ||
         error == kSocketErrorReset;
}

// strncmp(reply, "Connected", n) == 0 for a reply of n bytes: the text up to
// its first NUL is a leading part of "Connected", and either all n bytes or
// all of "Connected".
bool MatchesConnected(const std::string& bytes) {
  std::string text = bytes.substr(0, bytes.find('\0'));
  return std::string_view(kConnectedText).substr(0, text.size()) == text &&
         (text.size() == bytes.size() || text.size() == std::strlen(kConnectedText));
}

struct Expected {
  int exitCode = kPollerStopped;
  std::vector<std::string> texts;
  std::vector<std::uint32_t> alertablePauses;
  std::size_t statesSent = 0;
};

// What the poller should do with this script, worked out cycle by cycle.
Expected Model(const tests::FakeSockets& script, int cycles) {
  Expected e;
  const bool started = script.startupWorks;
  int socketsLeft = script.socketsLeft;
  auto socket = [&] {
    if (socketsLeft == 0) return false;
    if (socketsLeft > 0) --socketsLeft;
    return script.receiveTimeoutWorks && script.sendTimeoutWorks;
  };
  bool ready = started && script.grantedVersion == 0x0202 && socket();
  if (ready) {
    // Attempts fail until one works; a poller already told to stop gives up
    // after its first failed attempt.
    for (int attempt = 1; attempt <= kConnectAttempts; ++attempt) {
      if (attempt > script.failedConnects) break;
      if (cycles == 0) {
        ready = true;
        break;
      }
      if (!socket()) {
        ready = false;
        break;
      }
      if (attempt == kConnectAttempts) ready = false;
    }
  }
  if (!ready) {
    e.exitCode = kPollerFailed;
    e.texts = {kConnectedText};
    return e;
  }
  std::deque<SocketResult> sends = script.sends, receives = script.receives;
  std::uint32_t interval = kPollIntervalMs;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    ++e.statesSent;
    if (!sends.empty()) {
      SocketResult send = sends.front();
      sends.pop_front();
      if (send.result < 0 && IsConnectionLost(send.error)) e.texts.push_back(kDisconnectedText);
    }
    if (receives.empty()) {
      // A time-out: nothing to tell.
    } else {
      SocketResult receive = receives.front();
      receives.pop_front();
      if (receive.result > 0) {
        std::string bytes = receive.bytes.substr(0, kReplyCapacity - 1);
        if (receive.bytes.size() > bytes.size()) receives.push_front(tests::Reply(receive.bytes.substr(bytes.size())));
        e.texts.push_back(bytes.substr(0, bytes.find('\0')));
        if (MatchesConnected(bytes)) interval = kConnectedPollIntervalMs;
      } else if (receive.result == 0 || IsConnectionLost(receive.error)) {
        e.texts.push_back(kDisconnectedText);
      }
    }
    e.alertablePauses.push_back(interval);
  }
  return e;
}

SocketResult ResultFrom(FuzzedDataProvider& in, bool receiving) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
    case 1:
      if (!receiving) return {6};
      return tests::Reply(in.ConsumeRandomLengthString(300));
    case 2:
      return receiving ? tests::Closed() : SocketResult{6};
    default:
      return tests::Failed(in.PickValueInArray(kErrors));
  }
}

std::string ShownTexts(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += "\"" + Shown(t) + "\" ";
  return out;
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  FuzzedDataProvider in(data, size);
  tests::FakeSockets sockets;
  tests::FakePauses pauses;
  tests::RecordingWindow window;
  sockets.startupWorks = in.ConsumeIntegralInRange(0, 7) != 0;
  sockets.grantedVersion = in.ConsumeIntegralInRange(0, 7) != 0 ? 0x0202 : in.ConsumeIntegral<std::uint16_t>();
  sockets.receiveTimeoutWorks = in.ConsumeIntegralInRange(0, 7) != 0;
  sockets.sendTimeoutWorks = in.ConsumeIntegralInRange(0, 7) != 0;
  sockets.failedConnects = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 3) : in.ConsumeIntegralInRange(0, 400);
  sockets.socketsLeft = in.ConsumeBool() ? -1 : in.ConsumeIntegralInRange(0, 400);
  const int cycles = in.ConsumeIntegralInRange(0, 24);
  while (in.remaining_bytes() > 0) {
    sockets.sends.push_back(ResultFrom(in, false));
    sockets.receives.push_back(ResultFrom(in, true));
  }
  const Expected expected = Model(sockets, cycles);

  auto state = std::make_shared<PollerState>();
  state->window.store(0x1234);
  if (cycles == 0) state->keepPolling.store(0);
  pauses.onAlertablePause = [&](int taken) {
    if (taken >= cycles) state->keepPolling.store(0);  // Close, during the pause
  };
  StatusChannel channel;
  StatusPoller poller({sockets, pauses, window}, state, channel, channel.BeginRun());
  const int exitCode = poller.Run();

  Require(exitCode == expected.exitCode, "the poller ends as its script says",
          std::to_string(exitCode) + " instead of " + std::to_string(expected.exitCode));
  Require(window.texts == expected.texts, "the page is told what the client answered",
          ShownTexts(window.texts) + "instead of " + ShownTexts(expected.texts));
  for (WindowHandle w : window.windows) Require(w == 0x1234, "notifications go to the control's window");
  Require(pauses.Alertable() == expected.alertablePauses, "polls are 500 ms apart until \"Connected\", then 5000 ms");
  for (const tests::PauseTaken& pause : pauses.pauses) {
    Require(pause.alertable || pause.milliseconds == kConnectRetryPauseMs, "failed connections are 400 ms apart");
  }
  Require(sockets.connectPorts.size() <= static_cast<std::size_t>(kConnectAttempts), "at most 360 attempts");
  for (std::uint16_t port : sockets.connectPorts) Require(port == kStatusPort, "the client is asked on port 8000");
  Require(sockets.sent.size() == expected.statesSent, "one \"state\" per cycle");
  for (const std::string& sent : sockets.sent) Require(sent == std::string("state", 6), "\"state\" goes with its NUL");
  for (int capacity : sockets.receiveCapacities) Require(capacity == 127, "a receive takes at most 127 bytes");

  std::multiset<SocketHandle> closed(sockets.closed.begin(), sockets.closed.end());
  for (SocketHandle s : sockets.opened) Require(closed.count(s) == 1, "every socket made is closed once");
  Require(closed.size() == sockets.opened.size(), "only sockets made are closed");
  Require(channel.StatusSocket() == kNoSocket, "no socket is left published");
  Require(sockets.cleanups == (sockets.startupWorks ? 1 : 0), "Winsock is stopped once when it was started");
  return 0;
}
