#pragma once
// What DllRegisterServer and DllUnregisterServer do.
#include "module/factory_list.h"
#include "module/module_environment_port.h"
#include "module/registry_port.h"
#include "module/type_library_identity.h"
#include "module/type_library_port.h"

namespace vorlane {

HResult RegisterServer(FactoryList& factories, const TypeLibraryIdentity& identity, TypeLibraryPort& library,
                       ModuleEnvironmentPort& module);
HResult UnregisterServer(FactoryList& factories, const TypeLibraryIdentity& identity, TypeLibraryPort& library,
                         RegistryPort& registry, ModuleEnvironmentPort& module);

}  // namespace vorlane
