#pragma once
// The browser's cookie store, where the certificate login and the MAC probe
// leave their cookies for the gateway.
#include <string>

namespace vorlane {

class CookieStore {
 public:
  virtual ~CookieStore() = default;
  // Stores `data` ("name=value; attributes") for `url`; whether the store took
  // it is not examined by the callers.
  virtual void SetCookie(const std::u16string& url, const std::u16string& data) = 0;
};

}  // namespace vorlane
