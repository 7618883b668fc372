#include "common/unmanaged_windows.h"

#include <windows.h>

namespace vorlane::tests {

bool LeaveWindowsUnmanagedUnderWine() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS written = RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), sizeof L"N");
  RegCloseKey(key);
  return written == ERROR_SUCCESS && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
}

}  // namespace vorlane::tests
