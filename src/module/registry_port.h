#pragma once
// What registration needs from the registry. Every operation returns a
// Windows error code (kRegistrySuccess on success).
#include <cstdint>
#include <string>

#include "module/result_codes.h"

namespace vorlane {

using RegistryKey = std::uintptr_t;
constexpr RegistryKey kClassesRoot = 0;  // HKEY_CLASSES_ROOT

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // Opens path under parent for reading and writing, creating it if missing.
  virtual RegistryError CreateKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) = 0;
  // Opens an existing key for reading and writing.
  virtual RegistryError OpenKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) = 0;
  // Sets the default value of subkey (created if missing; empty: key itself).
  virtual RegistryError SetDefaultValue(RegistryKey key, const std::u16string& subkey,
                                        const std::u16string& text) = 0;
  virtual RegistryError SetNamedValue(RegistryKey key, const std::u16string& name, const std::u16string& text) = 0;
  // The name of the subkey at index; kRegistryNoMoreItems past the end.
  virtual RegistryError EnumerateSubkey(RegistryKey key, std::uint32_t index, std::u16string* name) = 0;
  // Deletes a subkey that has no subkeys of its own.
  virtual RegistryError DeleteKey(RegistryKey parent, const std::u16string& subkey) = 0;
  virtual void CloseKey(RegistryKey key) = 0;
};

// Closes the key it holds when it goes out of scope.
class OpenRegistryKey {
 public:
  explicit OpenRegistryKey(RegistryPort& port) : port_(port) {}
  ~OpenRegistryKey() { Close(); }
  OpenRegistryKey(const OpenRegistryKey&) = delete;
  OpenRegistryKey& operator=(const OpenRegistryKey&) = delete;

  RegistryError Create(RegistryKey parent, const std::u16string& path) { return Take(port_.CreateKey(parent, path, &key_)); }
  RegistryError Open(RegistryKey parent, const std::u16string& path) { return Take(port_.OpenKey(parent, path, &key_)); }
  RegistryKey Get() const { return key_; }
  void Close() {
    if (open_) port_.CloseKey(key_);
    open_ = false;
  }

 private:
  RegistryError Take(RegistryError error) {
    Close();
    open_ = error == kRegistrySuccess;
    return error;
  }
  RegistryPort& port_;
  RegistryKey key_ = 0;
  bool open_ = false;
};

}  // namespace vorlane
