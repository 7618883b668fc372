#pragma once
// The full path of the module the control lives in (260 characters at most).
#include <windows.h>

#include <string>

#include "support/diagnostic_log.h"
#include "support/win32/module_instance.h"

namespace vorlane {

inline std::wstring ModulePath() {
  wchar_t path[kPathCapacity] = {};
  GetModuleFileNameW(ModuleInstance(), path, DWORD(kPathCapacity));
  return path;
}

}  // namespace vorlane
