#pragma once
// The certificate login on the real platform.
#include "page/page.h"
#include "support/cookie_store.h"
#include "support/portal_type.h"

namespace vorlane {

// One attempt: TLS through OpenSSL and its capi engine, the network through
// Winsock, the cookies into WinINet's store, failures in message boxes. A
// null page (the object passed was no window) does nothing.
void CertificateLoginWithPlatform(Page* page, PortalType type);
// The same with the cookies into `cookies`: the native messaging host hands
// them to the browser's own store.
void CertificateLoginWithPlatform(Page* page, PortalType type, CookieStore& cookies);

}  // namespace vorlane
