#pragma once
// The status poller: connects to the local VPN client's status service, asks
// it for its state and hands every reply to the control's window.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "status/poller_state.h"
#include "status/status_channel.h"
#include "status/status_ports.h"

namespace vorlane {

constexpr std::uint16_t kStatusPort = 8000;
constexpr std::uint32_t kStatusSocketTimeoutMs = 1500;
constexpr int kConnectAttempts = 360;
constexpr std::uint32_t kConnectRetryPauseMs = 400;
constexpr std::uint32_t kPollIntervalMs = 500;
constexpr std::uint32_t kConnectedPollIntervalMs = 5000;
constexpr std::size_t kReplyCapacity = 128;  // at most 127 bytes and a NUL

constexpr char kStateRequest[] = "state";  // sent with its NUL: 6 bytes
constexpr char kConnectedText[] = "Connected";
constexpr char kDisconnectedText[] = "Disconnected";

constexpr int kPollerStopped = 0;
constexpr int kPollerFailed = -1;

struct StatusPollerPorts {
  StatusSocketPort& sockets;
  PollerPausePort& pauses;
  NotifyPort& notify;
};

// One run of the poller, on its own thread. Run() returns the thread's exit
// code: kPollerStopped once the flag is found cleared (or a newer run has
// taken over), kPollerFailed when it gave up before polling.
class StatusPoller {
 public:
  StatusPoller(StatusPollerPorts ports, std::shared_ptr<const PollerState> state,
               StatusChannel& channel, PollerRun run);
  StatusPoller(const StatusPoller&) = delete;
  StatusPoller& operator=(const StatusPoller&) = delete;

  int Run();

  std::uint32_t PollInterval() const { return interval_; }

 private:
  bool InitSocket();
  // nullptr once connected, otherwise the failure's message.
  const char16_t* Connect();
  bool ShouldPoll();
  void PollOnce();
  void NotifyIfConnectionLost(int error);
  void Notify(const char* text);
  void CloseSocket();
  int Fail(const char16_t* message);
  void CleanupWinsock();

  StatusPollerPorts ports_;
  std::shared_ptr<const PollerState> state_;
  StatusChannel& channel_;
  PollerRun run_;
  SocketHandle socket_ = kNoSocket;
  bool winsockStarted_ = false;
  std::uint32_t interval_ = kPollIntervalMs;
};

}  // namespace vorlane
