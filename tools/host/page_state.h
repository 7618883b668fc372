#pragma once
// What the fake page objects share: the page's address split the way a
// browser's location reports it, its cookie string, and the navigations the
// control asked for.
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::host {

struct Navigation {
  std::u16string kind;  // "href", "replace" or "assign": the location member that was used
  std::u16string url;
  friend bool operator==(const Navigation&, const Navigation&) = default;
};

struct PageAddress {
  std::u16string href;      // https://gw.example:8443/portals/index.html
  std::u16string protocol;  // https:
  std::u16string hostname;  // gw.example
  std::u16string port;      // 8443, empty for the scheme's default port
  std::u16string host;      // gw.example:8443, or gw.example for the default port
};

// Splits an absolute address; nullopt when it is not one.
std::optional<PageAddress> SplitPageAddress(const std::u16string& href);

class PageState {
 public:
  using NavigationObserver = std::function<void(const Navigation&)>;

  PageState(PageAddress address, std::optional<std::u16string> cookie, NavigationObserver observer)
      : address_(std::move(address)), cookie_(std::move(cookie)), observer_(std::move(observer)) {}

  const PageAddress& address() const { return address_; }
  // The document's own address (document.URL): the location's unless a
  // test gives the document another one, as a frame of about:blank has.
  const std::u16string& documentUrl() const { return documentUrl_ ? *documentUrl_ : address_.href; }
  void SetDocumentUrl(std::u16string url) { documentUrl_ = std::move(url); }
  // nullopt when the page has no cookie: get_cookie then delivers a null string.
  const std::optional<std::u16string>& cookie() const { return cookie_; }

  void Navigate(const std::u16string& kind, const std::u16string& url);
  std::vector<Navigation> Navigations() const;

 private:
  const PageAddress address_;
  const std::optional<std::u16string> cookie_;
  const NavigationObserver observer_;
  std::optional<std::u16string> documentUrl_;
  mutable std::mutex mutex_;
  std::vector<Navigation> navigations_;
};

}  // namespace vorlane::host
