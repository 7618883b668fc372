#pragma once
// The core's cookies, "name=value; path=/;expires=<date>", become setCookie
// actions for the browser's own cookie store.
#include <cstdint>
#include <optional>
#include <string>

#include "bridge/page_actions.h"
#include "support/cookie_store.h"

namespace vorlane {

// "Thu, 01-Jan-2027 00:00:01 GMT" (dashes or blanks between day, month and
// year) in Unix seconds; nothing for any other text.
std::optional<std::int64_t> UnixTimeOfCookieDate(const std::u16string& date);

// The cookie text read: name and value before the first ";", then the
// attributes the browser's API takes (path, expires); others are dropped.
SetCookieAction CookieAction(const std::u16string& url, const std::u16string& data);

class ActionCookieStore final : public CookieStore {
 public:
  explicit ActionCookieStore(PageActionSink& actions) : actions_(actions) {}
  void SetCookie(const std::u16string& url, const std::u16string& data) override {
    actions_.Add(CookieAction(url, data));
  }

 private:
  PageActionSink& actions_;
};

}  // namespace vorlane
