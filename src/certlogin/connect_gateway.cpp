#include "certlogin/connect_gateway.h"


namespace vorlane {

SocketHandle ConnectGateway(const std::string& host, std::int32_t port, GatewaySockets& sockets,
                            std::chrono::milliseconds limit) {
  constexpr std::uint32_t kLoopback = 0x7F000001;
  std::uint32_t address = kLoopback;
  if (std::optional<ResolvedHost> resolved = sockets.Resolve(host)) {
    if (!resolved->ipv4) return kNoSocket;
    address = resolved->address;
  }
  SocketHandle socket = sockets.Open();
  if (socket == kNoSocket) return kNoSocket;
  if (!sockets.Connect(socket, address, static_cast<std::uint16_t>(port), limit)) {
    sockets.Close(socket);
    return kNoSocket;
  }
  return socket;
}

}  // namespace vorlane
