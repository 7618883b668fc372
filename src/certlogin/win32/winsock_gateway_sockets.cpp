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

// A connect that cannot hang: started without blocking, waited for at most
// `limit`, and the socket made blocking again for the TLS library.
bool WinsockGatewaySockets::Connect(SocketHandle handle, std::uint32_t address, std::uint16_t port,
                                    std::chrono::milliseconds limit) {
  SOCKET s = static_cast<SOCKET>(handle);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(address);
  to.sin_port = htons(port);
  u_long nonBlocking = 1;
  if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) return false;
  bool connected = connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
  if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval wait{static_cast<long>(limit.count() / 1000), static_cast<long>((limit.count() % 1000) * 1000)};
    int error = 0;
    int length = sizeof error;
    connected = select(0, nullptr, &writable, &failed, &wait) == 1 && FD_ISSET(s, &writable) &&
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 && error == 0;
  }
  u_long blocking = 0;
  return ioctlsocket(s, FIONBIO, &blocking) == 0 && connected;
}

void WinsockGatewaySockets::LimitTransfers(SocketHandle handle, std::chrono::milliseconds limit) {
  DWORD ms = static_cast<DWORD>(limit.count());
  SOCKET s = static_cast<SOCKET>(handle);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
}

void WinsockGatewaySockets::Close(SocketHandle handle) { closesocket(static_cast<SOCKET>(handle)); }

}  // namespace vorlane
