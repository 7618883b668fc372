#pragma once
// The cookie store WinINet shares with the browser.
#include "support/cookie_store.h"

namespace vorlane {

class WinInetCookieStore final : public CookieStore {
 public:
  void SetCookie(const std::u16string& url, const std::u16string& data) override;
};

}  // namespace vorlane
