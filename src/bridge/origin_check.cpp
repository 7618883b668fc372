#include "bridge/origin_check.h"

#include <optional>

#include "policy/allow_list.h"
#include "support/https_origin.h"

namespace vorlane {

bool OriginMayCall(const MachinePolicy& policy, const std::u16string& origin) {
  return AddressMayScript(policy, origin);
}

bool PageLiesOnOrigin(const PageContext& page, const std::u16string& origin) {
  std::optional<HttpsOrigin> expected = HttpsOriginOfAddress(origin);
  if (!expected) return !page.href && !page.url && !page.host && !page.hostname && !page.port;
  std::optional<std::u16string> addresses[] = {
      page.href, page.url,
      page.host ? std::optional<std::u16string>(u"https://" + *page.host + u"/") : std::nullopt,
      page.hostname ? std::optional<std::u16string>(u"https://" + *page.hostname +
                                                     (page.port && !page.port->empty() ? u":" + *page.port : u"") + u"/")
                    : std::nullopt,
  };
  for (const std::optional<std::u16string>& address : addresses) {
    if (!address) continue;
    std::optional<HttpsOrigin> site = HttpsOriginOfAddress(*address);
    if (!site || *site != *expected) return false;
  }
  return true;
}

}  // namespace vorlane
