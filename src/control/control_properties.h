#pragma once
// The page parameters the control persists, and its property exchange.
#include <cstdint>
#include <string>

#include "com/property_exchange.h"
#include "support/portal_type.h"

namespace vorlane {

struct ControlProperties {
  std::u16string username;
  std::u16string ip;
  // The page may give neither, so both start at 0.
  std::int32_t port = 0;
  std::int16_t type = 0;  // exchanged signed; its users read it unsigned (-1 is 65535)

  PortalType TypeForUsers() const { return static_cast<std::uint16_t>(type); }
};

// "ip", "port", "username", "type" without defaults, then the type is
// published process-wide and the client log is opened (unless it already is).
void ExchangeControlProperties(PropertyExchange& exchange, ControlProperties& properties);

}  // namespace vorlane
