#pragma once
// The page parameters the control persists, and its property exchange.
#include <cstdint>
#include <string>

#include "com/property_exchange.h"
#include "control/held_type.h"
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

// "ip", "port", "username", "type" without defaults, then the client log is
// opened (unless it already is) and the type goes by the verdict on the page
// that gave it: published process-wide for an allowed page, dropped for a
// refused one, held while the page is unknown. Another tab's page must not
// change how the portal's next certificate login speaks.
void ExchangeControlProperties(PropertyExchange& exchange, ControlProperties& properties, HeldType& type,
                               PageVerdict page);

// The exchange of a control on a page that may script it.
inline void ExchangeControlProperties(PropertyExchange& exchange, ControlProperties& properties) {
  HeldType type;
  ExchangeControlProperties(exchange, properties, type, PageVerdict::Allowed);
}

}  // namespace vorlane
