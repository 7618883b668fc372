#pragma once
// A function exported by a loaded module, typed; null when it has none.
#include <windows.h>

namespace vorlane::host {

template <class Function>
Function ExportOf(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace vorlane::host
