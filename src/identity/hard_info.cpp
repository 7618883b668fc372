#include "identity/hard_info.h"

#include <optional>

#include "identity/mac_probe.h"
#include "support/cookie_expiry.h"

namespace vorlane {

std::u16string MacCookieText(const std::u16string& mac, std::chrono::system_clock::time_point now) {
  return u"MAC_Addr=" + mac + u"; path=/;expires=" + CookieExpiryOneYearAfter(now);
}

std::u16string GatewayCookieUrl(const std::u16string& host) { return u"https://" + host + u"/"; }

void GetPCHardInfo(WmiPort& wmi, Page* page, CookieStore& cookies,
                   std::chrono::system_clock::time_point now) {
  std::u16string mac;
  {
    MacProbe probe(wmi);
    probe.Connect();
    mac = probe.QueryMacAddress().value_or(u"");
    probe.ReleaseConnection();
  }
  const std::u16string cookie = MacCookieText(mac, now);

  if (page == nullptr) return;
  // Without a host there is no address for the cookie or the verify page.
  const std::optional<std::u16string> host = page->Host();
  if (!host || host->empty()) return;

  const std::u16string url = GatewayCookieUrl(*host);
  cookies.SetCookie(url, cookie);
  page->Replace(url + u"verify");
}

}  // namespace vorlane
