#include "certlogin/connect_gateway.h"

#include <gtest/gtest.h>

#include "certlogin/login_limits.h"
#include "fake_login_ports.h"

namespace vorlane {
namespace {

using tests::CallLog;
using tests::FakeSockets;

TEST(ConnectGateway, ResolvedNameOnTheLowSixteenBitsOfThePortWithinTheLimit) {
  CallLog log;
  FakeSockets sockets(log);
  sockets.names["gw.example"] = {true, 0x0A000001};
  EXPECT_EQ(7u, ConnectGateway("gw.example", 65536 + 8443, sockets));
  EXPECT_EQ(0x0A000001u, sockets.connectedAddress);
  EXPECT_EQ(8443, sockets.connectedPort);
  EXPECT_EQ(kGatewayIoLimit, sockets.connectLimit);
  EXPECT_EQ((CallLog{"resolve gw.example", "socket", "connect"}), log);
  EXPECT_EQ(7u, ConnectGateway("gw.example", 443, sockets, std::chrono::milliseconds(1200)));
  EXPECT_EQ(std::chrono::milliseconds(1200), sockets.connectLimit);
}

TEST(ConnectGateway, NameThatDoesNotResolveGoesToLoopbackOnTheSamePort) {
  CallLog log;
  FakeSockets sockets(log);
  EXPECT_EQ(7u, ConnectGateway("no-such-host.invalid", 443, sockets));
  EXPECT_EQ(0x7F000001u, sockets.connectedAddress);
  EXPECT_EQ(443, sockets.connectedPort);
}

TEST(ConnectGateway, FailsForNonIpv4NoSocketAndARefusedConnectClosingWhatItOpened) {
  CallLog log;
  FakeSockets sockets(log);
  sockets.names["six"] = {false, 0};
  EXPECT_EQ(kNoSocket, ConnectGateway("six", 443, sockets));
  EXPECT_EQ((CallLog{"resolve six"}), log);

  log.clear();
  sockets.socketMade = false;
  EXPECT_EQ(kNoSocket, ConnectGateway("gw", 443, sockets));
  EXPECT_EQ((CallLog{"resolve gw", "socket"}), log);

  log.clear();
  sockets.socketMade = true;
  sockets.connects = false;
  EXPECT_EQ(kNoSocket, ConnectGateway("gw", 443, sockets));
  EXPECT_EQ((CallLog{"resolve gw", "socket", "connect", "closesocket 7"}), log);
}

}  // namespace
}  // namespace vorlane
