#include "support/win32/wininet_cookie_store.h"

#include <windows.h>
#include <wininet.h>

namespace vorlane {

void WinInetCookieStore::SetCookie(const std::u16string& url, const std::u16string& data) {
  // No separate cookie name: the data carries "name=value" itself.
  InternetSetCookieW(reinterpret_cast<const wchar_t*>(url.c_str()), nullptr,
                     reinterpret_cast<const wchar_t*>(data.c_str()));
}

}  // namespace vorlane
