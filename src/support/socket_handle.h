#pragma once
// A socket as the portable code holds it (SOCKET on Windows), and the
// Winsock version every user of the network asks for.
#include <cstdint>

namespace vorlane {

using SocketHandle = std::uintptr_t;
constexpr SocketHandle kNoSocket = ~SocketHandle{0};  // INVALID_SOCKET

constexpr std::uint16_t kWinsockVersion = 0x0202;  // 2.2: low byte major, high byte minor

}  // namespace vorlane
