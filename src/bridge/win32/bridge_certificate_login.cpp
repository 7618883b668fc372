#include "bridge/win32/bridge_certificate_login.h"

#include "certlogin/login_exchange.h"
#include "certlogin/win32/openssl_tls_library.h"
#include "certlogin/win32/win32_login_platform.h"
#include "certlogin/win32/winsock_gateway_sockets.h"

namespace vorlane {
namespace {

class LoginPageOverPage final : public LoginPage {
 public:
  explicit LoginPageOverPage(Page& page) : page_(page) {}
  std::optional<std::u16string> Hostname() override { return page_.Hostname(); }
  std::optional<std::u16string> Port() override { return page_.Port(); }
  std::optional<std::u16string> Host() override { return page_.Host(); }
  std::optional<std::u16string> Href() override { return page_.Href(); }
  std::optional<std::u16string> Cookie() override { return page_.Cookie(); }
  std::optional<std::u16string> DocumentUrl() override { return page_.DocumentUrl(); }
  void Navigate(const std::u16string& url) override { page_.Assign(url); }

 private:
  Page& page_;
};

}  // namespace

void BridgeCertificateLogin::LogIn() {
  LoginPageOverPage loginPage(page_);
  OpenSslTlsLibrary tls;
  WinsockGatewaySockets sockets;
  Win32CodePages codePages;
  SystemLoginClock clock;
  MessageBoxLoginNotice notice;
  CertificateLogin(&loginPage, type_, {tls, sockets, cookies_, codePages, clock, notice});
}

}  // namespace vorlane
