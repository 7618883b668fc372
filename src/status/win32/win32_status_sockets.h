#pragma once
#include "status/status_ports.h"

namespace vorlane {

// The status channel's sockets through Winsock.
class Win32StatusSockets final : public StatusSocketPort {
 public:
  bool Startup(std::uint16_t requested, std::uint16_t& granted) override;
  void Cleanup() override;
  SocketHandle OpenTcp() override;
  bool SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) override;
  bool SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) override;
  bool ConnectLoopback(SocketHandle socket, std::uint16_t port) override;
  int Send(SocketHandle socket, const char* bytes, int size) override;
  int Receive(SocketHandle socket, char* buffer, int capacity) override;
  int LastError() override;
  void Close(SocketHandle socket) override;
};

}  // namespace vorlane
