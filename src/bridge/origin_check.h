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

// Whether every address the page gives lies on the origin: location.href,
// document.URL, location.host, and location.hostname with location.port,
// each by scheme, host (without regard to case) and port, a scheme's default
// port counting as unnamed. Texts the page leaves out are not asked. The
// core takes the gateway and the cookies' address from these texts, so one
// elsewhere would send the session to another host.
bool PageLiesOnOrigin(const PageContext& page, const std::u16string& origin);

}  // namespace vorlane
