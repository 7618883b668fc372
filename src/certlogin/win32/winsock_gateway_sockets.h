#pragma once
// The login's TCP connection over Winsock 2.2.
#include "certlogin/login_ports.h"

namespace vorlane {

class WinsockGatewaySockets final : public GatewaySockets {
 public:
  void Startup() override;
  std::optional<ResolvedHost> Resolve(const std::string& host) override;
  SocketHandle Open() override;
  bool Connect(SocketHandle socket, std::uint32_t address, std::uint16_t port,
               std::chrono::milliseconds limit) override;
  bool WaitUntilReady(SocketHandle socket, SocketWait wait, std::chrono::milliseconds limit) override;
  void Close(SocketHandle socket) override;
};

}  // namespace vorlane
