#pragma once
#include <windows.h>

namespace vorlane {

// The DLL's own instance handle (set by DllMain): resources, the type library
// and the module path come from it. Test programs that link the control's
// code directly get their executable's handle.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

}  // namespace vorlane
