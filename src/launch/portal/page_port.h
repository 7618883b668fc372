#pragma once
// The three texts ReadPortalContext takes from the page's window object.
// Each answers nothing (std::nullopt) when the page does not deliver it.
#include <optional>
#include <string>

namespace vorlane {

class PagePort {
 public:
  virtual ~PagePort() = default;
  virtual std::optional<std::u16string> LocationHostname() = 0;
  virtual std::optional<std::u16string> LocationPort() = 0;
  virtual std::optional<std::u16string> DocumentCookie() = 0;
};

}  // namespace vorlane
