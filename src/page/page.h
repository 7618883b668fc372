#pragma once
// The page that hosts the product: its location, its document and navigation.
// Each face implements it once: the control over MSHTML's window objects, the
// native messaging host over the context the extension sends with each call.
// Every getter answers nothing (std::nullopt) when the page does not deliver
// the text; the subsystems take only what they need.
#include <optional>
#include <string>

namespace vorlane {

class Page {
 public:
  virtual ~Page() = default;
  virtual std::optional<std::u16string> Href() = 0;         // location.href
  virtual std::optional<std::u16string> Protocol() = 0;     // location.protocol, "https:"
  virtual std::optional<std::u16string> Host() = 0;         // location.host, with ":port" when named
  virtual std::optional<std::u16string> Hostname() = 0;     // location.hostname
  virtual std::optional<std::u16string> Port() = 0;         // location.port, empty when not named
  virtual std::optional<std::u16string> Cookie() = 0;       // document.cookie
  virtual std::optional<std::u16string> DocumentUrl() = 0;  // document.URL: the page's own address
  // location.href = url (assign) and location.replace(url). Whether the
  // browser went there is not examined; false when the page refused the call.
  virtual bool Assign(const std::u16string& url) = 0;
  virtual bool Replace(const std::u16string& url) = 0;
};

}  // namespace vorlane
