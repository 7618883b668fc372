#pragma once
// What the status poller needs from the platform: sockets, pauses and the
// notification to the control's window.
#include <cstdint>

#include "status/poller_state.h"
#include "support/socket_handle.h"

namespace vorlane {

// The socket errors that mean the connection is gone.
constexpr int kSocketErrorInvalid = 10022;         // WSAEINVAL
constexpr int kSocketErrorNetworkReset = 10052;    // WSAENETRESET
constexpr int kSocketErrorAborted = 10053;         // WSAECONNABORTED
constexpr int kSocketErrorReset = 10054;           // WSAECONNRESET

class StatusSocketPort {
 public:
  virtual ~StatusSocketPort() = default;
  // Starts the socket library asking for `requested` (low byte major, high
  // byte minor); `granted` receives the version granted. False on failure.
  virtual bool Startup(std::uint16_t requested, std::uint16_t& granted) = 0;
  virtual void Cleanup() = 0;
  // An IPv4 TCP socket, or kNoSocket.
  virtual SocketHandle OpenTcp() = 0;
  virtual bool SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) = 0;
  virtual bool SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) = 0;
  // Connects to 127.0.0.1 at `port`.
  virtual bool ConnectLoopback(SocketHandle socket, std::uint16_t port) = 0;
  // Bytes sent, or a negative number on failure.
  virtual int Send(SocketHandle socket, const char* bytes, int size) = 0;
  // Bytes received, 0 when the peer closed the connection, negative on failure.
  virtual int Receive(SocketHandle socket, char* buffer, int capacity) = 0;
  // The error of the last failed socket call on this thread.
  virtual int LastError() = 0;
  virtual void Close(SocketHandle socket) = 0;
};

class PollerPausePort {
 public:
  virtual ~PollerPausePort() = default;
  // A pause that nothing shortens.
  virtual void Pause(std::uint32_t milliseconds) = 0;
  // A pause that a wake-up call queued to this thread ends at once.
  virtual void PauseAlertable(std::uint32_t milliseconds) = 0;
};

class NotifyPort {
 public:
  virtual ~NotifyPort() = default;
  // Hands `text` (NUL-terminated, at most 127 bytes) to the window and returns
  // once the window has handled it; lost when there is no window.
  virtual void Notify(WindowHandle window, const char* text) = 0;
};

}  // namespace vorlane
