#pragma once
// Recording and removing the module's type library.
#include "module/module_environment_port.h"
#include "module/registry_port.h"
#include "module/type_library_identity.h"
#include "module/type_library_port.h"

namespace vorlane {

// Registers the library inside the module file, provided it is ours.
bool RegisterTypeLibrary(const TypeLibraryIdentity& identity, TypeLibraryPort& library, ModuleEnvironmentPort& module);

// Removes the library's 64-bit registration, keeping a 32-bit one, and the
// Interface entries once no registered library describes them any more.
bool UnregisterTypeLibrary(const TypeLibraryIdentity& identity, TypeLibraryPort& library, RegistryPort& registry,
                           ModuleEnvironmentPort& module);

}  // namespace vorlane
