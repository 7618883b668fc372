#pragma once
// What registration needs from the type-library services.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/guid.h"

namespace vorlane {

class TypeLibraryPort {
 public:
  virtual ~TypeLibraryPort() = default;
  // Loads the type library inside the module file; false when there is none.
  virtual bool LoadFromModule(const std::u16string& modulePath) = 0;
  // The LIBID of the library last loaded.
  virtual Guid LoadedLibId() = 0;
  // Records the loaded library and its interfaces with the system, the module
  // file as its path and no help directory.
  virtual bool RegisterLoaded(const std::u16string& modulePath) = 0;
  // The IIDs of the interfaces and dispatch interfaces that the registered
  // library of that major version and locale describes; nothing when none is
  // registered.
  virtual std::optional<std::vector<Guid>> FindRegistered(const Guid& libId, std::uint16_t major,
                                                          std::uint16_t minor, std::uint32_t locale) = 0;
};

}  // namespace vorlane
