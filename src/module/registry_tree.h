#pragma once
// Walks over registry subtrees.
#include <string>
#include <vector>

#include "module/registry_port.h"

namespace vorlane {

// The names of the direct subkeys of key, in enumeration order.
std::vector<std::u16string> ListSubkeys(RegistryPort& registry, RegistryKey key);

// Deletes path under parent with all its subkeys, deepest first; the result
// is that of deleting path itself (kRegistryFileNotFound when it is missing).
RegistryError DeleteKeyTree(RegistryPort& registry, RegistryKey parent, const std::u16string& path);

}  // namespace vorlane
