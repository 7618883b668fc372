#include "status/status_poller.h"

#include <cstring>
#include <utility>

#include "support/diagnostic_log.h"

namespace vorlane {
namespace {

// The socket errors that mean the connection is gone.
bool IsConnectionLost(int socketError) {
  switch (socketError) {
    case kSocketErrorInvalid:
    case kSocketErrorNetworkReset:
    case kSocketErrorAborted:
    case kSocketErrorReset:
      return true;
    default:
      return false;
  }
}

}  // namespace

StatusPoller::StatusPoller(StatusPollerPorts ports, std::shared_ptr<const PollerState> state,
                           StatusChannel& channel, PollerRun run)
    : ports_(ports), state_(std::move(state)), channel_(channel), run_(run) {}

StatusPoller::~StatusPoller() {
  CloseSocket();
  CleanupWinsock();
}

int StatusPoller::Run() {
  std::uint16_t granted = 0;
  if (!ports_.sockets.Startup(kWinsockVersion, granted)) return Fail(u"WSAStartup error!");
  winsockStarted_ = true;
  if ((granted & 0xFF) != 2 || (granted >> 8) != 2) return Fail(u"LOBYTE || HIBYTE error!");
  if (!InitSocket()) return Fail(u"InitSocket error!");
  if (const char16_t* failure = Connect()) return Fail(failure);

  while (ShouldPoll()) {
    PollOnce();
    // A blocking send or receive may run the wake-up call itself, leaving
    // nothing to end the pause; a stop that came meanwhile is seen here.
    if (!ShouldPoll()) break;
    ports_.pauses.PauseAlertable(interval_);
  }
  CloseSocket();
  CleanupWinsock();
  return kPollerStopped;
}

// A poller told to stop or replaced while connecting ends before its next
// attempt: it returns as if connected, and Run finds the flag or the newer
// run and stops without a word to the page or the log.
const char16_t* StatusPoller::Connect() {
  for (int attempt = 1; attempt <= kConnectAttempts; ++attempt) {
    if (ports_.sockets.ConnectLoopback(socket_, kStatusPort)) return nullptr;
    CloseSocket();
    ports_.pauses.Pause(kConnectRetryPauseMs);
    if (!ShouldPoll()) return nullptr;
    if (!InitSocket()) return u"InitSocket error!";
  }
  return u"connect error!";
}

bool StatusPoller::InitSocket() {
  socket_ = ports_.sockets.OpenTcp();
  if (socket_ == kNoSocket) {
    LogError(u"create socket error!");
    return false;
  }
  channel_.Publish(run_, socket_);
  if (!ports_.sockets.SetReceiveTimeout(socket_, kStatusSocketTimeoutMs)) {
    LogError(u"setsockopt SO_RCVTIMEO error!");
    return false;
  }
  if (!ports_.sockets.SetSendTimeout(socket_, kStatusSocketTimeoutMs)) {
    LogError(u"setsockopt SOL_SOCKET error!");
    return false;
  }
  return true;
}

bool StatusPoller::ShouldPoll() {
  return state_->keepPolling.load() != 0 && channel_.IsNewest(run_);
}

void StatusPoller::PollOnce() {
  if (ports_.sockets.Send(socket_, kStateRequest, sizeof kStateRequest) < 0)
    NotifyIfConnectionLost(ports_.sockets.LastError());

  char reply[kReplyCapacity];
  int n = ports_.sockets.Receive(socket_, reply, kReplyCapacity - 1);
  if (n > 0) {
    reply[n] = '\0';
    Notify(reply);
    if (std::strncmp(reply, kConnectedText, static_cast<std::size_t>(n)) == 0)
      interval_ = kConnectedPollIntervalMs;
  } else if (n == 0) {
    Notify(kDisconnectedText);
  } else {
    NotifyIfConnectionLost(ports_.sockets.LastError());
  }
}

void StatusPoller::NotifyIfConnectionLost(int error) {
  if (IsConnectionLost(error)) Notify(kDisconnectedText);
}

void StatusPoller::Notify(const char* text) {
  ports_.notify.Notify(state_->window.load(), text);
}

void StatusPoller::CloseSocket() {
  if (socket_ == kNoSocket) return;
  channel_.Withdraw(socket_);
  ports_.sockets.Close(socket_);
  socket_ = kNoSocket;
}

int StatusPoller::Fail(const char16_t* message) {
  LogError(message);
  Notify(kConnectedText);
  CloseSocket();
  CleanupWinsock();
  return kPollerFailed;
}

// Only a start that worked is undone: the process's Winsock count is shared
// with everything else in it.
void StatusPoller::CleanupWinsock() {
  if (!winsockStarted_) return;
  winsockStarted_ = false;
  ports_.sockets.Cleanup();
}

}  // namespace vorlane
