#pragma once
// GetPCHardInfo: the connected adapter's MAC address as the cookie
// "MAC_Addr" for the page's host, then the page sent to that host's "verify"
// address. The cookie is stored and the page moves also when no address was
// found: the gateway then receives an empty "MAC_Addr".
#include <chrono>
#include <string>

#include "identity/wmi_port.h"
#include "page/page.h"
#include "support/cookie_store.h"

namespace vorlane {

// "MAC_Addr=<mac>; path=/;expires=<one year after now>".
std::u16string MacCookieText(const std::u16string& mac, std::chrono::system_clock::time_point now);
// "https://<host>/" whatever the page's own scheme.
std::u16string GatewayCookieUrl(const std::u16string& host);

// Probes WMI in the calling thread's apartment, then, when the page's
// location names its host, stores the cookie and replaces the page. A null
// page (the object passed was no location) ends the call after the probe.
void GetPCHardInfo(WmiPort& wmi, Page* page, CookieStore& cookies,
                   std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

}  // namespace vorlane
