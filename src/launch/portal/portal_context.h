#pragma once
// What Run reads from the hosting page: where the gateway is and which
// session the user holds there, with the control's "type".
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/portal_type.h"

namespace vorlane {

// Up to 32 characters of session id plus the terminator.
constexpr std::size_t kSessionCapacity = 33;
constexpr std::size_t kSessionMaxLength = kSessionCapacity - 1;
constexpr std::int32_t kDefaultGatewayPort = 443;
constexpr char16_t kSessionCookieMarker[] = u"Varnex_SSLID=";

struct PortalContext {
  std::u16string host;
  std::int32_t port = 0;
  char16_t session[kSessionCapacity] = {};
  PortalType type;
};

}  // namespace vorlane
