#include "module/registry_tree.h"

namespace vorlane {

std::vector<std::u16string> ListSubkeys(RegistryPort& registry, RegistryKey key) {
  std::vector<std::u16string> names;
  std::u16string name;
  for (std::uint32_t index = 0; registry.EnumerateSubkey(key, index, &name) == kRegistrySuccess; ++index) {
    names.push_back(name);
  }
  return names;
}

RegistryError DeleteKeyTree(RegistryPort& registry, RegistryKey parent, const std::u16string& path) {
  OpenRegistryKey key(registry);
  RegistryError error = key.Open(parent, path);
  if (error != kRegistrySuccess) return error;
  // Names are taken before deleting so that removal does not shift the
  // enumeration; a child that cannot be removed makes the final delete fail.
  for (const std::u16string& child : ListSubkeys(registry, key.Get())) {
    DeleteKeyTree(registry, key.Get(), child);
  }
  key.Close();
  return registry.DeleteKey(parent, path);
}

}  // namespace vorlane
