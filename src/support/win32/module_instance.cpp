#include "support/win32/module_instance.h"

namespace vorlane {
namespace {
HINSTANCE instance = nullptr;
}

HINSTANCE ModuleInstance() { return instance != nullptr ? instance : GetModuleHandleW(nullptr); }

void SetModuleInstance(HINSTANCE value) { instance = value; }

}  // namespace vorlane
