#pragma once
// Run's road for types 2 and more in the host: the certificate login with
// the page the call carried, its cookies into the browser's store through
// the extension.
#include <cstdint>

#include "launch/portal/launch_road_ports.h"
#include "page/page.h"
#include "support/cookie_store.h"

namespace vorlane {

class BridgeCertificateLogin final : public CertificateLoginStarter {
 public:
  BridgeCertificateLogin(Page& page, CookieStore& cookies, std::uint16_t type)
      : page_(page), cookies_(cookies), type_(type) {}
  void LogIn() override;

 private:
  Page& page_;
  CookieStore& cookies_;
  std::uint16_t type_;
};

}  // namespace vorlane
