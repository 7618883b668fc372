#include "bridge/origin_check.h"

#include <optional>

#include "bridge/bridge_page.h"
#include "policy/allow_list.h"
#include "policy/page_host.h"

namespace vorlane {
namespace {

// The allow-list reads the hosting document's address: here the origin.
class NoActions final : public PageActionSink {
 public:
  void Add(PageAction) override {}
};

// "https://gw.example:443/x" gives "https://gw.example:443"; the scheme
// lowered, a missing port replaced by the scheme's default.
std::optional<std::u16string> SiteOf(const std::u16string& address) {
  std::optional<std::u16string> host = HostOfAddress(address);
  if (!host) return std::nullopt;
  std::size_t schemeEnd = address.find(u"://");
  std::u16string scheme = ComparableHost(address.substr(0, schemeEnd));
  std::size_t start = schemeEnd + 3;
  std::size_t end = address.find_first_of(u"/?#\\", start);
  std::u16string authority = address.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
  if (std::size_t at = authority.rfind(u'@'); at != std::u16string::npos) authority.erase(0, at + 1);
  std::size_t hostEnd = authority.front() == u'[' ? authority.find(u']') + 1 : 0;
  std::size_t colon = authority.find(u':', hostEnd);
  std::u16string port = colon == std::u16string::npos ? u"" : authority.substr(colon + 1);
  if (port.empty()) port = scheme == u"https" ? u"443" : scheme == u"http" ? u"80" : u"";
  return scheme + u"://" + *host + u":" + port;
}

}  // namespace

bool OriginMayCall(AllowListPolicy& policy, const std::u16string& origin) {
  PageContext originOnly;
  originOnly.url = origin;
  NoActions none;
  BridgePage page(originOnly, none);
  return PageMayScript(policy, page);
}

bool PageLiesOnOrigin(const PageContext& page, const std::u16string& origin) {
  std::optional<std::u16string> originSite = SiteOf(origin);
  if (!originSite) return !page.href && !page.url && !page.host && !page.hostname && !page.port;
  std::u16string scheme = origin.substr(0, origin.find(u"://"));
  // Every address the page gives must name the origin's site: its location,
  // its document, and the location's host, or host name and port.
  std::optional<std::u16string> addresses[] = {
      page.href, page.url,
      page.host ? std::optional<std::u16string>(scheme + u"://" + *page.host + u"/") : std::nullopt,
      page.hostname ? std::optional<std::u16string>(scheme + u"://" + *page.hostname +
                                                     (page.port && !page.port->empty() ? u":" + *page.port : u"") + u"/")
                    : std::nullopt,
  };
  for (const std::optional<std::u16string>& address : addresses) {
    if (!address) continue;
    std::optional<std::u16string> site = SiteOf(*address);
    if (!site || *site != *originSite) return false;
  }
  return true;
}

}  // namespace vorlane
