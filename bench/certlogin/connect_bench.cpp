// What the login's bounded connect costs over a plain blocking connect: both
// to one loopback listener in the same run, alternating, several rounds, with
// the earlier form of the bounded connect (blocking again afterwards, and a
// time-out on each send and receive) beside them for comparison. Prints
// min/median/max of each round's mean per connect and of the extras.
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "bench_common.h"
#include "certlogin/login_limits.h"
#include "certlogin/win32/winsock_gateway_sockets.h"

namespace {

using namespace vorlane;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;
constexpr int kConnectsPerRound = 200;

struct Listener {
  SOCKET socket = INVALID_SOCKET;
  std::uint16_t port = 0;
};

Listener Listen() {
  Listener made;
  made.socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (made.socket == INVALID_SOCKET || bind(made.socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(made.socket, SOMAXCONN) != 0) {
    bench::Fail("listen");
  }
  int length = sizeof address;
  getsockname(made.socket, reinterpret_cast<sockaddr*>(&address), &length);
  made.port = ntohs(address.sin_port);
  return made;
}

// Takes the connection off the listener's queue so the backlog never fills.
void AcceptOne(const Listener& listener) {
  SOCKET accepted = accept(listener.socket, nullptr, nullptr);
  if (accepted == INVALID_SOCKET) bench::Fail("accept");
  closesocket(accepted);
}

// Mean microseconds per connect: socket, connect, close; the accept is not timed.
template <typename Connect>
double MeanMicroseconds(const Listener& listener, Connect connectOne) {
  Clock::duration spent{};
  for (int i = 0; i < kConnectsPerRound; ++i) {
    Clock::time_point start = Clock::now();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET || !connectOne(s)) bench::Fail("connect");
    closesocket(s);
    spent += Clock::now() - start;
    AcceptOne(listener);
  }
  return std::chrono::duration<double, std::micro>(spent).count() / kConnectsPerRound;
}

void Print(const char* what, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("%-34s min %8.1f  median %8.1f  max %8.1f us\n", what, values.front(), bench::Median(values),
              values.back());
}

// The bounded connect as it was: the socket made blocking again after the
// wait, its error read, and both transfer time-outs set.
bool EarlierBoundedConnect(SOCKET s, const sockaddr_in& to) {
  u_long mode = 1;
  if (ioctlsocket(s, FIONBIO, &mode) != 0) return false;
  bool connected = connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
  if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval wait{30, 0};
    int error = 0;
    int length = sizeof error;
    connected = select(0, nullptr, &writable, &failed, &wait) == 1 && FD_ISSET(s, &writable) &&
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 && error == 0;
  }
  mode = 0;
  DWORD ms = 30000;
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
  return ioctlsocket(s, FIONBIO, &mode) == 0 && connected;
}

}  // namespace

int main() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) bench::Fail("WSAStartup");
  Listener listener = Listen();
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(listener.port);
  WinsockGatewaySockets sockets;

  auto blocking = [&](SOCKET s) { return connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0; };
  auto bounded = [&](SOCKET s) {
    return sockets.Connect(static_cast<SocketHandle>(s), 0x7F000001, listener.port, kGatewayIoLimit);
  };
  auto earlier = [&](SOCKET s) { return EarlierBoundedConnect(s, to); };
  MeanMicroseconds(listener, blocking);  // warm-up
  MeanMicroseconds(listener, bounded);
  MeanMicroseconds(listener, earlier);
  std::vector<double> plain, login, before, extra, extraBefore;
  for (int round = 0; round < kRounds; ++round) {
    plain.push_back(MeanMicroseconds(listener, blocking));
    login.push_back(MeanMicroseconds(listener, bounded));
    before.push_back(MeanMicroseconds(listener, earlier));
    extra.push_back(login.back() - plain.back());
    extraBefore.push_back(before.back() - plain.back());
  }
  std::printf("%d rounds of %d connects to 127.0.0.1, per connect:\n", kRounds, kConnectsPerRound);
  Print("blocking connect", plain);
  Print("login's bounded connect", login);
  Print("earlier bounded connect", before);
  Print("extra of the bounded connect", extra);
  Print("extra of the earlier form", extraBefore);
  closesocket(listener.socket);
  WSACleanup();
  return 0;
}
