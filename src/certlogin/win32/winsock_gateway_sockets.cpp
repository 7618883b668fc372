#include "certlogin/win32/winsock_gateway_sockets.h"

#include <winsock2.h>

namespace vorlane {

void WinsockGatewaySockets::Startup() {
  WSADATA data;
  WSAStartup(kWinsockVersion, &data);
}

std::optional<ResolvedHost> WinsockGatewaySockets::Resolve(const std::string& host) {
  hostent* found = gethostbyname(host.c_str());
  if (found == nullptr) return std::nullopt;
  if (found->h_addrtype != AF_INET || found->h_addr_list[0] == nullptr) return ResolvedHost{false, 0};
  in_addr first;
  memcpy(&first, found->h_addr_list[0], sizeof first);
  return ResolvedHost{true, ntohl(first.s_addr)};
}

SocketHandle WinsockGatewaySockets::Open() {
  SOCKET made = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  return made == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(made);
}

// Started without blocking and waited for at most `limit`; the socket stays
// non-blocking for the rest of the exchange, whose waits are ours.
bool WinsockGatewaySockets::Connect(SocketHandle handle, std::uint32_t address, std::uint16_t port,
                                    std::chrono::milliseconds limit) {
  SOCKET s = static_cast<SOCKET>(handle);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(address);
  to.sin_port = htons(port);
  u_long nonBlocking = 1;
  if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) return false;
  if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) return true;
  if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
  // A refused or failed connect shows in the exception set, not as writable.
  return WaitUntilReady(handle, SocketWait::Writable, limit);
}

bool WinsockGatewaySockets::WaitUntilReady(SocketHandle handle, SocketWait wait, std::chrono::milliseconds limit) {
  SOCKET s = static_cast<SOCKET>(handle);
  fd_set ready, failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);
  timeval within{static_cast<long>(limit.count() / 1000), static_cast<long>((limit.count() % 1000) * 1000)};
  fd_set* readable = wait == SocketWait::Readable ? &ready : nullptr;
  fd_set* writable = wait == SocketWait::Writable ? &ready : nullptr;
  return select(0, readable, writable, &failed, &within) >= 1 && FD_ISSET(s, &ready) && !FD_ISSET(s, &failed);
}

void WinsockGatewaySockets::Close(SocketHandle handle) { closesocket(static_cast<SOCKET>(handle)); }

}  // namespace vorlane
