#pragma once
// The registry entries of one creatable class of the module.
#include <cstdint>

#include "module/module_environment_port.h"
#include "module/registry_port.h"
#include "module/type_library_identity.h"
#include "support/guid.h"

namespace vorlane {

// What a control class writes beyond a plain class's entries.
struct ControlEntries {
  std::uint32_t toolboxBitmapId;  // bitmap resource shown in a toolbox
  std::uint32_t miscStatus;       // OLEMISC_* flags of the default aspect
  TypeLibraryIdentity library;
};

struct ClassRegistration {
  Guid clsid;
  int typeNameString;      // string resource holding the type name
  const char16_t* progId;  // written and removed with the class; null: none
  const ControlEntries* control;  // control entries, apartment threading; null: a plain class
};

// Writes (install) or removes the class's entries under HKEY_CLASSES_ROOT;
// true when every step succeeded. Writing stops at the first failure and
// leaves what was written.
bool UpdateClassRegistry(const ClassRegistration& entry, bool install, RegistryPort& registry,
                         ModuleEnvironmentPort& module);

}  // namespace vorlane
