#pragma once
#include "module/module_environment_port.h"

namespace vorlane {

// The module file of ModuleInstance(): its path and string resources.
class Win32ModuleEnvironment final : public ModuleEnvironmentPort {
 public:
  std::u16string ModulePath() override;
  std::optional<std::u16string> StringResource(int id) override;
  std::optional<std::u16string> GuidText(const Guid& guid) override;
};

}  // namespace vorlane
