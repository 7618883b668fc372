#pragma once
// The TCP connection of one login attempt.
#include <chrono>
#include <cstdint>
#include <string>

#include "certlogin/login_limits.h"
#include "certlogin/login_ports.h"

namespace vorlane {

// A non-blocking socket connected to host (a name that does not resolve means
// 127.0.0.1) on the low 16 bits of port; kNoSocket when the name resolves to
// no IPv4 address or no connection is made within `limit`.
SocketHandle ConnectGateway(const std::string& host, std::int32_t port, GatewaySockets& sockets,
                            std::chrono::milliseconds limit = kGatewayIoLimit);

}  // namespace vorlane
