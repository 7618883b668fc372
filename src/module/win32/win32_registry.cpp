#include "module/win32/win32_registry.h"

#include <windows.h>

#include "support/win32/wide_text.h"

namespace vorlane {

static_assert(kRegistrySuccess == ERROR_SUCCESS);
static_assert(kRegistryFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kRegistryBadKey == ERROR_BADKEY);
static_assert(kRegistryNoMoreItems == ERROR_NO_MORE_ITEMS);

namespace {

constexpr DWORD kKeyNameCapacity = 256;  // longest key name and terminator

HKEY Handle(RegistryKey key) { return key == kClassesRoot ? HKEY_CLASSES_ROOT : reinterpret_cast<HKEY>(key); }

}  // namespace

RegistryError Win32Registry::CreateKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) {
  HKEY opened = nullptr;
  LSTATUS status = RegCreateKeyExW(Handle(parent), AsWide(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &opened, nullptr);
  *key = reinterpret_cast<RegistryKey>(opened);
  return status;
}

RegistryError Win32Registry::OpenKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) {
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(Handle(parent), AsWide(path), 0, KEY_READ | KEY_WRITE, &opened);
  *key = reinterpret_cast<RegistryKey>(opened);
  return status;
}

RegistryError Win32Registry::SetDefaultValue(RegistryKey key, const std::u16string& subkey,
                                             const std::u16string& text) {
  return RegSetValueW(Handle(key), subkey.empty() ? nullptr : AsWide(subkey), REG_SZ, AsWide(text),
                      static_cast<DWORD>(text.size() * sizeof(char16_t)));
}

RegistryError Win32Registry::SetNamedValue(RegistryKey key, const std::u16string& name, const std::u16string& text) {
  // The stored length includes the terminator.
  return RegSetValueExW(Handle(key), AsWide(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

RegistryError Win32Registry::EnumerateSubkey(RegistryKey key, std::uint32_t index, std::u16string* name) {
  wchar_t buffer[kKeyNameCapacity];
  LSTATUS status = RegEnumKeyW(Handle(key), index, buffer, kKeyNameCapacity);
  if (status == ERROR_SUCCESS) name->assign(AsUtf16(buffer));
  return status;
}

RegistryError Win32Registry::DeleteKey(RegistryKey parent, const std::u16string& subkey) {
  return RegDeleteKeyW(Handle(parent), AsWide(subkey));
}

void Win32Registry::CloseKey(RegistryKey key) {
  if (key != kClassesRoot) RegCloseKey(Handle(key));
}

}  // namespace vorlane
