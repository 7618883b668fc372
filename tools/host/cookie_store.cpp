#include "cookie_store.h"

#include <windows.h>
#include <wininet.h>

#include "text.h"

namespace vorlane::host {

std::vector<std::u16string> CookiesFor(const std::u16string& url) {
  DWORD size = 0;  // in bytes, terminator included
  if (!InternetGetCookieW(AsWide(url), nullptr, nullptr, &size) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return {};
  std::u16string all(size / sizeof(char16_t) + 1, u'\0');
  if (!InternetGetCookieW(AsWide(url), nullptr, reinterpret_cast<wchar_t*>(all.data()), &size)) return {};
  all.resize(all.find(u'\0'));

  std::vector<std::u16string> cookies;
  for (size_t start = 0; start < all.size();) {
    size_t end = all.find(u"; ", start);
    if (end == std::u16string::npos) end = all.size();
    if (end > start) cookies.push_back(all.substr(start, end - start));
    start = end + 2;
  }
  return cookies;
}

}  // namespace vorlane::host
