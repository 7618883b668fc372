#include "certlogin/win32/platform_certificate_login.h"

#include "certlogin/login_exchange.h"
#include "certlogin/win32/openssl_tls_library.h"
#include "certlogin/win32/win32_login_platform.h"
#include "certlogin/win32/winsock_gateway_sockets.h"
#include "support/win32/message_box_notice.h"
#include "support/win32/wininet_cookie_store.h"

namespace vorlane {

void CertificateLoginWithPlatform(Page* page, PortalType type) {
  WinInetCookieStore cookies;
  CertificateLoginWithPlatform(page, type, cookies);
}

void CertificateLoginWithPlatform(Page* page, PortalType type, CookieStore& cookies) {
  OpenSslTlsLibrary tls;
  WinsockGatewaySockets sockets;
  Win32CodePages codePages;
  SystemLoginClock clock;
  MessageBoxNotice notice;
  CertificateLogin(page, type, {tls, sockets, cookies, codePages, clock, notice});
}

}  // namespace vorlane
