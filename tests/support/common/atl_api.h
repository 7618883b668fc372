#pragma once
// The platform's ActiveX container, ATL's AtlAxWin window class in atl.dll,
// reached by its exports (MinGW has no import library for it).
#include <windows.h>
#include <ocidl.h>

#include <type_traits>

namespace vorlane::tests {

struct AtlApi {
  BOOL(WINAPI* AxWinInit)() = nullptr;
  HRESULT(WINAPI* AxGetControl)(HWND, IUnknown**) = nullptr;
  HRESULT(WINAPI* AxAttachControl)(IUnknown*, HWND, IUnknown**) = nullptr;
  HRESULT(WINAPI* Advise)(IUnknown*, IUnknown*, const IID&, DWORD*) = nullptr;
  HRESULT(WINAPI* Unadvise)(IUnknown*, const IID&, DWORD) = nullptr;

  // Loads atl.dll and registers the AtlAxWin class (once per process);
  // false when any is missing.
  bool Load() {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    if (!atl) return false;
    auto get = [&](auto& slot, const char* name) {
      slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(reinterpret_cast<void*>(GetProcAddress(atl, name)));
      return slot != nullptr;
    };
    return get(AxWinInit, "AtlAxWinInit") && get(AxGetControl, "AtlAxGetControl") &&
           get(AxAttachControl, "AtlAxAttachControl") && get(Advise, "AtlAdvise") &&
           get(Unadvise, "AtlUnadvise") && AxWinInit();
  }
};

}  // namespace vorlane::tests
