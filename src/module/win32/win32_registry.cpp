#include "module/win32/win32_registry.h"

#include <windows.h>

namespace vorlane {
namespace {

constexpr DWORD kKeyNameCapacity = 256;  // longest key name and terminator

HKEY Handle(RegistryKey key) { return key == kClassesRoot ? HKEY_CLASSES_ROOT : reinterpret_cast<HKEY>(key); }

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

RegistryError Win32Registry::CreateKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) {
  HKEY opened = nullptr;
  LSTATUS status = RegCreateKeyExW(Handle(parent), Wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &opened, nullptr);
  *key = reinterpret_cast<RegistryKey>(opened);
  return status;
}

RegistryError Win32Registry::OpenKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) {
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(Handle(parent), Wide(path), 0, KEY_READ | KEY_WRITE, &opened);
  *key = reinterpret_cast<RegistryKey>(opened);
  return status;
}

RegistryError Win32Registry::SetDefaultValue(RegistryKey key, const std::u16string& subkey,
                                             const std::u16string& text) {
  return RegSetValueW(Handle(key), subkey.empty() ? nullptr : Wide(subkey), REG_SZ, Wide(text),
                      static_cast<DWORD>(text.size() * sizeof(char16_t)));
}

RegistryError Win32Registry::SetNamedValue(RegistryKey key, const std::u16string& name, const std::u16string& text) {
  // The stored length includes the terminator.
  return RegSetValueExW(Handle(key), Wide(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

RegistryError Win32Registry::EnumerateSubkey(RegistryKey key, std::uint32_t index, std::u16string* name) {
  wchar_t buffer[kKeyNameCapacity];
  LSTATUS status = RegEnumKeyW(Handle(key), index, buffer, kKeyNameCapacity);
  if (status == ERROR_SUCCESS) name->assign(reinterpret_cast<const char16_t*>(buffer));
  return status;
}

RegistryError Win32Registry::DeleteKey(RegistryKey parent, const std::u16string& subkey) {
  return RegDeleteKeyW(Handle(parent), Wide(subkey));
}

void Win32Registry::CloseKey(RegistryKey key) {
  if (key != kClassesRoot) RegCloseKey(Handle(key));
}

}  // namespace vorlane
