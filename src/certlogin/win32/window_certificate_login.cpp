#include "certlogin/win32/window_certificate_login.h"

#include "certlogin/login_exchange.h"
#include "certlogin/win32/crypt_gateway_trust.h"
#include "certlogin/win32/html_login_page.h"
#include "certlogin/win32/openssl_tls_library.h"
#include "certlogin/win32/win32_login_platform.h"
#include "certlogin/win32/winsock_gateway_sockets.h"
#include "support/win32/wininet_cookie_store.h"

namespace vorlane {

void CertificateLoginWithWindow(IDispatch* window, std::uint16_t type, const LoginOptions& options) {
  std::unique_ptr<LoginPage> page = OpenLoginPage(window);
  OpenSslTlsLibrary tls;
  WinsockGatewaySockets sockets;
  WinInetCookieStore cookies;
  Win32CodePages codePages;
  SystemLoginClock clock;
  MessageBoxLoginNotice notice;
  CryptGatewayTrust trust;
  CertificateLogin(page.get(), type, {tls, sockets, cookies, codePages, clock, notice, trust}, options);
}

}  // namespace vorlane
