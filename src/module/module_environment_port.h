#pragma once
// What registration needs to know about the module file itself.
#include <optional>
#include <string>

#include "support/guid.h"

namespace vorlane {

class ModuleEnvironmentPort {
 public:
  virtual ~ModuleEnvironmentPort() = default;
  // The full path of the module file.
  virtual std::u16string ModulePath() = 0;
  // A string resource of the module; nothing when it is missing.
  virtual std::optional<std::u16string> StringResource(int id) = 0;
  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case; nothing on failure.
  virtual std::optional<std::u16string> GuidText(const Guid& guid) = 0;
};

}  // namespace vorlane
