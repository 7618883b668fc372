#pragma once
// A page location that reports a scripted host and records navigations, and
// a cookie store that records what it was given.
#include <optional>
#include <string>
#include <vector>

#include "identity/page_location.h"
#include "support/cookie_store.h"

namespace vorlane::tests {

class FakeLocation final : public PageLocation {
 public:
  explicit FakeLocation(std::optional<std::u16string> host) : host_(std::move(host)) {}
  std::optional<std::u16string> Host() override {
    ++hostReads;
    return host_;
  }
  void Replace(const std::u16string& url) override { replaced.push_back(url); }

  int hostReads = 0;
  std::vector<std::u16string> replaced;

 private:
  std::optional<std::u16string> host_;
};

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
