#pragma once
// Scripted sockets, a virtual clock for pauses, a recording window and
// scripted poller threads for the status unit tests. Nothing here waits.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "status/poller_start_stop.h"
#include "status/poller_state.h"
#include "status/status_ports.h"

namespace vorlane::tests {

// One scripted result of Send or Receive: a byte count (negative = failure
// with `error`) and, for Receive, the bytes.
struct SocketResult {
  int result;
  std::string bytes = {};
  int error = 0;
};

inline SocketResult Reply(std::string bytes) {
  int n = static_cast<int>(bytes.size());
  return {n, std::move(bytes)};
}
inline SocketResult Closed() { return {0}; }
inline SocketResult Failed(int error) { return {-1, {}, error}; }

constexpr int kTimedOut = 10060;  // WSAETIMEDOUT

class FakeSockets final : public StatusSocketPort {
 public:
  bool Startup(std::uint16_t requested, std::uint16_t& granted) override {
    requestedVersion = requested;
    ++startups;
    granted = grantedVersion;
    return startupWorks;
  }
  void Cleanup() override { ++cleanups; }
  SocketHandle OpenTcp() override {
    if (socketsLeft == 0) return kNoSocket;
    if (socketsLeft > 0) --socketsLeft;
    SocketHandle s = nextSocket++;
    opened.push_back(s);
    return s;
  }
  bool SetReceiveTimeout(SocketHandle, std::uint32_t ms) override {
    receiveTimeouts.push_back(ms);
    return receiveTimeoutWorks;
  }
  bool SetSendTimeout(SocketHandle, std::uint32_t ms) override {
    sendTimeouts.push_back(ms);
    return sendTimeoutWorks;
  }
  bool ConnectLoopback(SocketHandle s, std::uint16_t port) override {
    connectPorts.push_back(port);
    connectSockets.push_back(s);
    if (onConnect) onConnect();
    return static_cast<int>(connectPorts.size()) > failedConnects;
  }
  int Send(SocketHandle s, const char* bytes, int size) override {
    sent.emplace_back(bytes, static_cast<std::size_t>(size));
    sentOn.push_back(s);
    return Next(sends, size, nullptr, 0);
  }
  int Receive(SocketHandle, char* buffer, int capacity) override {
    receiveCapacities.push_back(capacity);
    if (onReceive) onReceive();
    return Next(receives, 0, buffer, capacity);
  }
  int LastError() override { return lastError; }
  void Close(SocketHandle s) override { closed.push_back(s); }

  // Scripts; an empty Send script means every send works, an empty Receive
  // script means every receive times out.
  std::deque<SocketResult> sends, receives;
  bool startupWorks = true, receiveTimeoutWorks = true, sendTimeoutWorks = true;
  std::uint16_t grantedVersion = 0x0202;
  int failedConnects = 0;  // this many attempts fail before one works
  int socketsLeft = -1;    // sockets that can still be made; -1 = no limit
  std::function<void()> onReceive, onConnect;

  std::uint16_t requestedVersion = 0;
  int startups = 0, cleanups = 0;
  SocketHandle nextSocket = 500;
  std::vector<SocketHandle> opened, closed, connectSockets, sentOn;
  std::vector<std::uint16_t> connectPorts;
  std::vector<std::uint32_t> receiveTimeouts, sendTimeouts;
  std::vector<std::string> sent;
  std::vector<int> receiveCapacities;

 private:
  int Next(std::deque<SocketResult>& script, int whenEmpty, char* buffer, int capacity) {
    if (script.empty()) {
      if (buffer == nullptr) return whenEmpty;
      lastError = kTimedOut;
      return -1;
    }
    SocketResult r = script.front();
    script.pop_front();
    if (r.result < 0) {
      lastError = r.error;
      return r.result;
    }
    if (buffer != nullptr) {
      int n = std::min<int>(static_cast<int>(r.bytes.size()), capacity);
      r.bytes.copy(buffer, static_cast<std::size_t>(n));
      if (n < static_cast<int>(r.bytes.size()))  // the rest waits for the next receive
        script.push_front(Reply(r.bytes.substr(static_cast<std::size_t>(n))));
      return n;
    }
    return r.result;
  }
  int lastError = 0;
};

struct PauseTaken {
  std::uint32_t milliseconds;
  bool alertable;
};

// Pauses advance a virtual clock. `onAlertablePause(k)` runs during the k-th
// alertable pause (1-based), where a test clears the flag as `Close` would.
class FakePauses final : public PollerPausePort {
 public:
  void Pause(std::uint32_t ms) override {
    pauses.push_back({ms, false});
    now += ms;
    if (onPause) onPause(static_cast<int>(pauses.size()));
  }
  void PauseAlertable(std::uint32_t ms) override {
    pauses.push_back({ms, true});
    now += ms;
    ++alertable;
    if (onAlertablePause) onAlertablePause(alertable);
  }
  std::vector<std::uint32_t> Alertable() const {
    std::vector<std::uint32_t> out;
    for (auto& p : pauses)
      if (p.alertable) out.push_back(p.milliseconds);
    return out;
  }

  std::uint64_t now = 0;
  int alertable = 0;
  std::vector<PauseTaken> pauses;
  std::function<void(int)> onPause, onAlertablePause;
};

class RecordingWindow final : public NotifyPort {
 public:
  void Notify(WindowHandle window, const char* text) override {
    windows.push_back(window);
    texts.emplace_back(text);
  }
  std::vector<WindowHandle> windows;
  std::vector<std::string> texts;
};

// Records what happened to it in a shared journal, including what the flag
// was when it was woken.
struct JournalThread final : PollerThread {
  JournalThread(std::vector<std::string>& journal, const PollerState& state)
      : journal(journal), state(state) {}
  ~JournalThread() override { journal.push_back("closed"); }
  void Wake() override { journal.push_back("woken, flag " + std::to_string(state.keepPolling.load())); }
  std::vector<std::string>& journal;
  const PollerState& state;
};

struct ScriptedStarter final : PollerStarter {
  PollerThreadSlot Start(const std::shared_ptr<PollerState>& state) override {
    flagAtStart.push_back(state->keepPolling.load());
    if (failures-- > 0) return nullptr;
    return std::make_unique<JournalThread>(journal, *state);
  }
  int failures = 0;
  std::vector<int> flagAtStart;
  std::vector<std::string> journal;
};

}  // namespace vorlane::tests
