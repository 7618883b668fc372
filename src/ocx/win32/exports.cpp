// The DLL's entry point and its four exports.
#include <windows.h>
#include <olectl.h>

#include "com/win32/com_boundary.h"
#include "module/server_registration.h"
#include "module/win32/win32_module_environment.h"
#include "module/win32/win32_registry.h"
#include "module/win32/win32_type_library.h"
#include "ocx/class_registrations.h"
#include "ocx/win32/vorlane_app.h"
#include "support/win32/module_instance.h"
#include "support/win32/module_lock.h"
#include "support/win32/win32_log_file.h"

using namespace vorlane;

static_assert(kOk == S_OK);
static_assert(kFalse == S_FALSE);
static_assert(kSelfRegTypeLibError == SELFREG_E_TYPELIB);
static_assert(kSelfRegClassError == SELFREG_E_CLASS);
static_assert(kClassNotAvailable == CLASS_E_CLASSNOTAVAILABLE);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetModuleInstance(instance);
    InstallWin32ProcessLog();
    if (!TheApp().InitInstance()) {
      TheApp().ExitInstance();
      return FALSE;
    }
  } else if (reason == DLL_PROCESS_DETACH) {
    TheApp().ExitInstance();
    // Freed while the process goes on (no reserved pointer): release the log
    // file, or the next load of the module in this process could not open it.
    if (reserved == nullptr) CloseWin32ProcessLog();
  }
  return TRUE;
}

STDAPI DllRegisterServer() {
  return ComBoundary([] {
    Win32TypeLibrary library;
    Win32ModuleEnvironment module;
    return static_cast<HRESULT>(RegisterServer(TheApp().Factories(), kVorlaneTypeLibrary, library, module));
  });
}

STDAPI DllUnregisterServer() {
  return ComBoundary([] {
    Win32TypeLibrary library;
    Win32Registry registry;
    Win32ModuleEnvironment module;
    return static_cast<HRESULT>(UnregisterServer(TheApp().Factories(), kVorlaneTypeLibrary, library, registry, module));
  });
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return TheApp().Factories().WithFactory(reinterpret_cast<const Guid&>(clsid), [&](FactoryEntry& factory) {
    return static_cast<HResult>(static_cast<ClassFactory&>(factory).QueryInterface(iid, out));
  });
}

STDAPI DllCanUnloadNow() { return TheApp().Factories().CanUnloadNow(ModuleLock::Count()); }
