#pragma once
// The registry entries of one creatable class of the module.
#include "module/identifiers.h"
#include "module/module_environment_port.h"
#include "module/registry_port.h"

namespace vorlane {

struct ClassRegistration {
  Guid clsid;
  int typeNameString;      // string resource holding the type name
  const char16_t* progId;  // written and removed with the class; null: none
  bool isControl;          // control entries, apartment threading
};

constexpr ClassRegistration kControlRegistration{kControlClsid, kControlTypeNameString, kControlProgId, true};
// The page's factory holds a ProgID but it is never registered.
constexpr ClassRegistration kPropPageRegistration{kPropPageClsid, kPropPageTypeNameString, nullptr, false};

// Writes (install) or removes the class's entries under HKEY_CLASSES_ROOT;
// true when every step succeeded. Writing stops at the first failure and
// leaves what was written.
bool UpdateClassRegistry(const ClassRegistration& entry, bool install, RegistryPort& registry,
                         ModuleEnvironmentPort& module);

}  // namespace vorlane
