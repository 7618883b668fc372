#pragma once
// The page's location as GetPCHardInfo uses it: the host to store the cookie
// for, and the navigation that replaces the page.
#include <optional>
#include <string>

namespace vorlane {

class PageLocation {
 public:
  virtual ~PageLocation() = default;
  // Host name and port as the page reports them ("gw.example:8443");
  // nothing when the page does not deliver it.
  virtual std::optional<std::u16string> Host() = 0;
  // Navigates there, replacing the current history entry; the result is not
  // examined.
  virtual void Replace(const std::u16string& url) = 0;
};

}  // namespace vorlane
