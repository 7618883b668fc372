#include "loaded_module.h"

namespace vorlane::tests {

std::wstring OcxPath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path, length);
  return text.substr(0, text.find_last_of(L'\\') + 1) + L"vorlane.ocx";
}

LoadedOcx::LoadedOcx() : module_(LoadLibraryW(OcxPath().c_str())) {}

LoadedOcx::~LoadedOcx() {
  if (module_ != nullptr) FreeLibrary(module_);
}

void* LoadedOcx::Export(const char* name) const {
  return module_ ? reinterpret_cast<void*>(GetProcAddress(module_, name)) : nullptr;
}

HRESULT LoadedOcx::Register() const {
  auto call = reinterpret_cast<HRESULT(WINAPI*)()>(Export("DllRegisterServer"));
  return call ? call() : E_FAIL;
}

HRESULT LoadedOcx::Unregister() const {
  auto call = reinterpret_cast<HRESULT(WINAPI*)()>(Export("DllUnregisterServer"));
  return call ? call() : E_FAIL;
}

HRESULT LoadedOcx::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
  auto call = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(Export("DllGetClassObject"));
  return call ? call(clsid, iid, out) : E_FAIL;
}

HRESULT LoadedOcx::CanUnloadNow() const {
  auto call = reinterpret_cast<HRESULT(WINAPI*)()>(Export("DllCanUnloadNow"));
  return call ? call() : E_FAIL;
}

namespace {

void ReadInto(HKEY key, const std::wstring& path, RegistryTree* tree) {
  auto& values = (*tree)[path];
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    BYTE data[2048];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    values[std::wstring(name, nameLength)] =
        std::to_wstring(type) + L":" + std::wstring(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t));
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    if (RegEnumKeyW(key, index, name, 256) != ERROR_SUCCESS) break;
    HKEY child;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      ReadInto(child, path + L"\\" + name, tree);
      RegCloseKey(child);
    }
  }
}

}  // namespace

RegistryTree ReadTree(const std::wstring& path) {
  RegistryTree tree;
  HKEY key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    ReadInto(key, path, &tree);
    RegCloseKey(key);
  }
  return tree;
}

bool ReadValue(const std::wstring& path, const std::wstring& name, std::wstring* value) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_ANY, &type, data,
                   &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  value->assign(data);
  return true;
}

}  // namespace vorlane::tests
