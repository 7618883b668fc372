// The local client simulator itself, as long runs lean on it: a connection
// whose peer has gone leaves nothing behind in the process.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "common/process_handles.h"
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

std::size_t HandleCount() { return tests::OpenHandleValues().size(); }

TEST(LocalClientSimulator, ConnectionsWhosePeerClosedHoldNoThreadOrSocket) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  LocalClientSimulator client;
  ASSERT_TRUE(client.Start());
  ASSERT_EQ(AskOnce(), "Connected");  // Winsock's own first-use handles are made here
  std::this_thread::sleep_for(300ms);
  const std::size_t before = HandleCount();

  constexpr std::size_t kConnections = 20;
  for (std::size_t i = 0; i < kConnections; ++i) ASSERT_EQ(AskOnce(), "Connected") << "connection " << i + 2;
  // Each connection kept would hold its thread's handle and its socket. What
  // may come once in between: the event a mutex gets at its first contention
  // and keeps (the simulator's own among them).
  constexpr std::size_t kOnce = 4;
  std::size_t after = HandleCount();
  for (int wait = 0; wait < 100 && after > before + kOnce; ++wait) {
    std::this_thread::sleep_for(50ms);  // the simulator notices each close within its 50 ms look
    after = HandleCount();
  }
  EXPECT_LE(after, before + kOnce) << "served threads or sockets outlived their connections";
  EXPECT_EQ(client.Connections(), static_cast<int>(kConnections) + 1);
  EXPECT_EQ(client.TakeReceived().size(), kConnections + 1);
  EXPECT_TRUE(client.Received().empty()) << "what was taken is forgotten";
  EXPECT_TRUE(client.Sent().empty());
  client.Stop();
  WSACleanup();
}

}  // namespace
}  // namespace vorlane
