#pragma once
// An in-memory HKEY_CLASSES_ROOT that behaves like the real one where
// registration cares: paths without regard to case, deleting a key with
// subkeys refused, missing keys reported as ERROR_FILE_NOT_FOUND. It records
// every value written, in order, and can be told to fail chosen writes.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "module/registry_port.h"

namespace vorlane::tests {

class FakeRegistry final : public RegistryPort {
 public:
  static constexpr RegistryError kAccessDenied = 5;

  RegistryError CreateKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) override;
  RegistryError OpenKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) override;
  RegistryError SetDefaultValue(RegistryKey key, const std::u16string& subkey, const std::u16string& text) override;
  RegistryError SetNamedValue(RegistryKey key, const std::u16string& name, const std::u16string& text) override;
  RegistryError EnumerateSubkey(RegistryKey key, std::uint32_t index, std::u16string* name) override;
  RegistryError DeleteKey(RegistryKey parent, const std::u16string& subkey) override;
  void CloseKey(RegistryKey key) override;

  // Test side, full paths under HKEY_CLASSES_ROOT.
  void AddKey(const std::u16string& path);
  bool HasKey(const std::u16string& path) const;
  // The value or nothing; name empty for the default value.
  const std::u16string* Value(const std::u16string& path, const std::u16string& name = u"") const;
  std::vector<std::u16string> Subkeys(const std::u16string& path) const;
  // Every key and value, for comparing whole registries.
  std::map<std::u16string, std::map<std::u16string, std::u16string>> Snapshot() const { return keys_; }

  // "path" or "path\[name]" for each value written, in order.
  std::vector<std::u16string> writes;
  // Writes to these entries (same form as writes) fail.
  std::set<std::u16string> failingWrites;
  // Deleting these keys fails.
  std::set<std::u16string> failingDeletes;
  int openKeys = 0;

 private:
  std::u16string PathOf(RegistryKey key, const std::u16string& subkey) const;
  RegistryError Handle(const std::u16string& path, RegistryKey* key);

  std::map<std::u16string, std::map<std::u16string, std::u16string>> keys_;  // by folded path
  std::map<RegistryKey, std::u16string> handles_;
  RegistryKey nextHandle_ = 100;
};

std::u16string Fold(const std::u16string& text);

}  // namespace vorlane::tests
