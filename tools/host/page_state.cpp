#include "page_state.h"

#include <windows.h>
#include <wininet.h>

#include "text.h"

namespace vorlane::host {

std::optional<PageAddress> SplitPageAddress(const std::u16string& href) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;  // ask for the host name, pointing into href
  if (!InternetCrackUrlW(AsWide(href), 0, 0, &parts) || parts.dwHostNameLength == 0) return std::nullopt;

  PageAddress address;
  address.href = href;
  address.protocol = href.substr(0, href.find(u':') + 1);
  address.hostname.assign(reinterpret_cast<const char16_t*>(parts.lpszHostName), parts.dwHostNameLength);
  INTERNET_PORT standard = parts.nScheme == INTERNET_SCHEME_HTTPS  ? INTERNET_DEFAULT_HTTPS_PORT
                           : parts.nScheme == INTERNET_SCHEME_HTTP ? INTERNET_DEFAULT_HTTP_PORT
                                                                   : 0;
  // A browser's location leaves the scheme's own port out of port and host.
  if (parts.nPort != standard) {
    std::string digits = std::to_string(parts.nPort);
    address.port.assign(digits.begin(), digits.end());
  }
  address.host = address.port.empty() ? address.hostname : address.hostname + u":" + address.port;
  return address;
}

void PageState::Navigate(const std::u16string& kind, const std::u16string& url) {
  Navigation navigation{kind, url};
  {
    std::lock_guard lock(mutex_);
    navigations_.push_back(navigation);
  }
  if (observer_) observer_(navigation);
}

std::vector<Navigation> PageState::Navigations() const {
  std::lock_guard lock(mutex_);
  return navigations_;
}

}  // namespace vorlane::host
