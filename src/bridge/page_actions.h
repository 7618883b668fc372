#pragma once
// What the core does to the page, asked of the extension instead: a cookie
// in the browser's store, a navigation of the page's tab.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace vorlane {

struct SetCookieAction {
  std::u16string url;  // the address the cookie is stored for
  std::u16string name;
  std::u16string value;
  std::optional<std::u16string> path;
  std::optional<std::int64_t> expires;  // Unix seconds; nullopt: a session cookie
};

struct NavigateAction {
  bool replace = false;  // location.replace rather than location.href = url
  std::u16string url;
};

using PageAction = std::variant<SetCookieAction, NavigateAction>;

// Takes each action as it happens, so the extension carries them out in the
// order the core asked for them.
class PageActionSink {
 public:
  virtual ~PageActionSink() = default;
  virtual void Add(PageAction action) = 0;
};

}  // namespace vorlane
