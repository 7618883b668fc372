#pragma once
#include "module/registry_port.h"

namespace vorlane {

// The registry through the Win32 registry functions; keys are HKEYs,
// kClassesRoot is HKEY_CLASSES_ROOT.
class Win32Registry final : public RegistryPort {
 public:
  RegistryError CreateKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) override;
  RegistryError OpenKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) override;
  RegistryError SetDefaultValue(RegistryKey key, const std::u16string& subkey, const std::u16string& text) override;
  RegistryError SetNamedValue(RegistryKey key, const std::u16string& name, const std::u16string& text) override;
  RegistryError EnumerateSubkey(RegistryKey key, std::uint32_t index, std::u16string* name) override;
  RegistryError DeleteKey(RegistryKey parent, const std::u16string& subkey) override;
  void CloseKey(RegistryKey key) override;
};

}  // namespace vorlane
