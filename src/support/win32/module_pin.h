#pragma once
// Keeps the module that holds this code loaded for a background thread's
// whole life. The ModuleReference a thread holds makes DllCanUnloadNow say
// S_FALSE, but the thread still runs the module's instructions after giving
// it up; the pin is given back by FreeLibraryAndExitThread, which never
// returns into the module.
#include <windows.h>

#include <utility>

namespace vorlane {

class ModulePin {
 public:
  ModulePin() {
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&ExitThreadAndUnpin), &module_);
  }
  ModulePin(ModulePin&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  ModulePin& operator=(ModulePin&&) = delete;
  // A pin whose thread never started is given back here.
  ~ModulePin() {
    if (module_) FreeLibrary(module_);
  }

  HMODULE Take() { return std::exchange(module_, nullptr); }

  // Ends the calling thread and gives the pin back in one step; without a
  // pin it simply returns, and the thread ends as usual.
  static void ExitThreadAndUnpin(HMODULE module, DWORD code) {
    if (module) FreeLibraryAndExitThread(module, code);
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace vorlane
