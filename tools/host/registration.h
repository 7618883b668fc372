#pragma once
// What regsvr32 does: loads the server's file and calls its
// DllRegisterServer (or DllUnregisterServer).
#include <windows.h>

#include <string>

namespace vorlane::host {

HRESULT RegisterServer(const std::u16string& file);
HRESULT UnregisterServer(const std::u16string& file);

}  // namespace vorlane::host
