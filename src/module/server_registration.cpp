#include "module/server_registration.h"

#include "module/type_library_registration.h"

namespace vorlane {

HResult RegisterServer(FactoryList& factories, const TypeLibraryIdentity& identity, TypeLibraryPort& library,
                       ModuleEnvironmentPort& module) {
  // Without our type library nothing else is written.
  if (!RegisterTypeLibrary(identity, library, module)) return kSelfRegTypeLibError;
  return factories.UpdateAllRegistries(true) ? kOk : kSelfRegClassError;
}

HResult UnregisterServer(FactoryList& factories, const TypeLibraryIdentity& identity, TypeLibraryPort& library,
                         RegistryPort& registry, ModuleEnvironmentPort& module) {
  if (!UnregisterTypeLibrary(identity, library, registry, module)) return kSelfRegTypeLibError;
  return factories.UpdateAllRegistries(false) ? kOk : kSelfRegClassError;
}

}  // namespace vorlane
