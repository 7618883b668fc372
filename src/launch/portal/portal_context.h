#pragma once
// What Run reads from the hosting page: where the gateway is and which
// session the user holds there, with the control's "type".
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/portal_type.h"
#include "support/session_id.h"

namespace vorlane {

// The session id and its terminator.
constexpr std::size_t kSessionCapacity = kSessionMaxLength + 1;

struct PortalContext {
  std::u16string host;
  std::int32_t port = 0;
  char16_t session[kSessionCapacity] = {};
  PortalType type;
};

}  // namespace vorlane
