#include "status/win32/win32_status_sockets.h"

#include <winsock2.h>

#include "status/status_poller.h"

namespace vorlane {

static_assert(kNoSocket == INVALID_SOCKET);
static_assert(kWinsockVersion == MAKEWORD(2, 2));
static_assert(kSocketErrorInvalid == WSAEINVAL);
static_assert(kSocketErrorNetworkReset == WSAENETRESET);
static_assert(kSocketErrorAborted == WSAECONNABORTED);
static_assert(kSocketErrorReset == WSAECONNRESET);

bool Win32StatusSockets::Startup(std::uint16_t requested, std::uint16_t& granted) {
  WSADATA data{};
  if (WSAStartup(requested, &data) != 0) return false;
  granted = data.wVersion;
  return true;
}

void Win32StatusSockets::Cleanup() { WSACleanup(); }

SocketHandle Win32StatusSockets::OpenTcp() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  return s == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(s);
}

static bool SetTimeout(SocketHandle socket, int option, std::uint32_t milliseconds) {
  DWORD value = milliseconds;
  return setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, option,
                    reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

bool Win32StatusSockets::SetReceiveTimeout(SocketHandle socket, std::uint32_t milliseconds) {
  return SetTimeout(socket, SO_RCVTIMEO, milliseconds);
}

bool Win32StatusSockets::SetSendTimeout(SocketHandle socket, std::uint32_t milliseconds) {
  return SetTimeout(socket, SO_SNDTIMEO, milliseconds);
}

bool Win32StatusSockets::ConnectLoopback(SocketHandle socket, std::uint16_t port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return connect(static_cast<SOCKET>(socket), reinterpret_cast<const sockaddr*>(&peer),
                 sizeof peer) == 0;
}

int Win32StatusSockets::Send(SocketHandle socket, const char* bytes, int size) {
  return send(static_cast<SOCKET>(socket), bytes, size, 0);
}

int Win32StatusSockets::Receive(SocketHandle socket, char* buffer, int capacity) {
  return recv(static_cast<SOCKET>(socket), buffer, capacity, 0);
}

int Win32StatusSockets::LastError() { return WSAGetLastError(); }

void Win32StatusSockets::Close(SocketHandle socket) { closesocket(static_cast<SOCKET>(socket)); }

}  // namespace vorlane
