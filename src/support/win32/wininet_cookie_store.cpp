#include "support/win32/wininet_cookie_store.h"

#include <windows.h>
#include <wininet.h>

#include "support/win32/wide_text.h"

namespace vorlane {

void WinInetCookieStore::SetCookie(const std::u16string& url, const std::u16string& data) {
  // No separate cookie name: the data carries "name=value" itself.
  InternetSetCookieW(AsWide(url), nullptr, AsWide(data));
}

}  // namespace vorlane
