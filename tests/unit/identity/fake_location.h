#pragma once
// The page's location as GetPCHardInfo is given it (a host, nothing of the
// document), and a cookie store that records what it was given.
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_page.h"
#include "support/cookie_store.h"

namespace vorlane::tests {

inline FakePage LocationAt(std::optional<std::u16string> host) {
  FakePage location;
  location.host = std::move(host);
  return location;
}

struct StoredCookie {
  std::u16string url, data;
  friend bool operator==(const StoredCookie&, const StoredCookie&) = default;
};

class FakeCookieStore final : public CookieStore {
 public:
  void SetCookie(const std::u16string& url, const std::u16string& data) override { stored.push_back({url, data}); }
  std::vector<StoredCookie> stored;
};

}  // namespace vorlane::tests
