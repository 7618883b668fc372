// The local client simulator itself, as long runs lean on it: a connection
// whose peer has gone leaves nothing behind in the process.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "local_client/local_client_simulator.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using tests::LocalClientSimulator;

// One poll as the poller makes it, on a connection of its own, then closed.
std::string AskOnce() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(8000);
  peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 && send(s, "state", 6, 0) == 6) {
    char buffer[128];
    int n = recv(s, buffer, sizeof buffer, 0);
    if (n > 0) reply.assign(buffer, static_cast<std::size_t>(n));
  }
  closesocket(s);
  return reply;
}

DWORD HandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

TEST(LocalClientSimulator, ConnectionsWhosePeerClosedHoldNoThreadOrSocket) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  LocalClientSimulator client;
  ASSERT_TRUE(client.Start());
  ASSERT_EQ(AskOnce(), "Connected");  // Winsock's own first-use handles are made here
  std::this_thread::sleep_for(300ms);
  const DWORD before = HandleCount();

  for (int i = 0; i < 20; ++i) ASSERT_EQ(AskOnce(), "Connected") << "connection " << i + 2;
  // The simulator notices each close within its 50 ms look; give it ample time.
  DWORD after = HandleCount();
  for (int wait = 0; wait < 100 && after > before; ++wait) {
    std::this_thread::sleep_for(50ms);
    after = HandleCount();
  }
  EXPECT_EQ(after, before) << "a served thread or socket outlived its connection";
  EXPECT_EQ(client.Connections(), 21);
  EXPECT_EQ(client.TakeReceived().size(), 21u);
  EXPECT_TRUE(client.Received().empty()) << "what was taken is forgotten";
  EXPECT_TRUE(client.Sent().empty());
  client.Stop();
  WSACleanup();
}

}  // namespace
}  // namespace vorlane
