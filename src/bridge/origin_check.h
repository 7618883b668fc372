#pragma once
// Whether a call may run: the origin the browser reported for the sending
// page, checked against the machine's allow-list by the same rules as the
// control's hosting page, and the page's own location on that origin.
#include <string>

#include "bridge/bridge_call.h"
#include "policy/allow_list_ports.h"

namespace vorlane {

// True when no allow-list policy is set or the origin's host is on it.
bool OriginMayCall(AllowListPolicy& policy, const std::u16string& origin);

// Whether the page's location lies on the origin: scheme, host (without
// regard to case) and port, a scheme's default port counting as unnamed. A
// page that names no location passes; the origin alone then decides. The
// launch road takes the gateway from the location, so a location elsewhere
// would send the session to another host.
bool PageLiesOnOrigin(const PageContext& page, const std::u16string& origin);

}  // namespace vorlane
