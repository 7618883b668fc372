#include "module/win32/win32_module_environment.h"

#include <objbase.h>
#include <windows.h>

#include "support/win32/module_instance.h"
#include "support/win32/module_path.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {
constexpr int kGuidTextCapacity = 39;  // braces, 36 characters, terminator
}

std::u16string Win32ModuleEnvironment::ModulePath() { return AsUtf16(vorlane::ModulePath().c_str()); }

std::optional<std::u16string> Win32ModuleEnvironment::StringResource(int id) {
  // With no buffer size, LoadStringW hands out the resource text in place.
  const wchar_t* text = nullptr;
  int length = LoadStringW(ModuleInstance(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::nullopt;
  return std::u16string(AsUtf16(text), static_cast<std::size_t>(length));
}

std::optional<std::u16string> Win32ModuleEnvironment::GuidText(const Guid& guid) {
  wchar_t text[kGuidTextCapacity];
  if (StringFromGUID2(reinterpret_cast<const GUID&>(guid), text, kGuidTextCapacity) != kGuidTextCapacity) {
    return std::nullopt;
  }
  return AsUtf16(text);
}

}  // namespace vorlane
