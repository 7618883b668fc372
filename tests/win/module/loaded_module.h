#pragma once
// vorlane.ocx as the tests load it: the copy next to the test program.
#include <windows.h>

#include <map>
#include <string>

namespace vorlane::tests {

std::wstring OcxPath();

// The DLL loaded for the life of the object.
class LoadedOcx {
 public:
  LoadedOcx();
  ~LoadedOcx();
  LoadedOcx(const LoadedOcx&) = delete;
  LoadedOcx& operator=(const LoadedOcx&) = delete;

  HMODULE Handle() const { return module_; }
  HRESULT Register() const;
  HRESULT Unregister() const;
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
  HRESULT CanUnloadNow() const;

 private:
  void* Export(const char* name) const;
  HMODULE module_;
};

// Every key under HKEY_CLASSES_ROOT\path and its values, by full path; empty
// when the key does not exist.
using RegistryTree = std::map<std::wstring, std::map<std::wstring, std::wstring>>;
RegistryTree ReadTree(const std::wstring& path);

// The default value (name empty) or a named one; nothing when missing.
bool ReadValue(const std::wstring& path, const std::wstring& name, std::wstring* value);

}  // namespace vorlane::tests
