#include "module/win32/win32_type_library.h"

#include <oleauto.h>

#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

std::vector<Guid> DescribedInterfaces(ITypeLib* library) {
  std::vector<Guid> iids;
  const UINT count = library->GetTypeInfoCount();
  for (UINT index = 0; index < count; ++index) {
    ComPtr<ITypeInfo> info;
    TYPEATTR* attributes = nullptr;
    if (FAILED(library->GetTypeInfo(index, info.Put())) || FAILED(info->GetTypeAttr(&attributes))) continue;
    if (attributes->typekind == TKIND_INTERFACE || attributes->typekind == TKIND_DISPATCH) {
      iids.push_back(reinterpret_cast<const Guid&>(attributes->guid));
    }
    info->ReleaseTypeAttr(attributes);
  }
  return iids;
}

}  // namespace

bool Win32TypeLibrary::LoadFromModule(const std::u16string& modulePath) {
  loaded_.Reset();
  return SUCCEEDED(LoadTypeLib(AsWide(modulePath), loaded_.Put()));
}

Guid Win32TypeLibrary::LoadedLibId() {
  Guid libId{};
  TLIBATTR* attributes = nullptr;
  if (loaded_ && SUCCEEDED(loaded_->GetLibAttr(&attributes))) {
    libId = reinterpret_cast<const Guid&>(attributes->guid);
    loaded_->ReleaseTLibAttr(attributes);
  }
  return libId;
}

bool Win32TypeLibrary::RegisterLoaded(const std::u16string& modulePath) {
  std::u16string path = modulePath;  // RegisterTypeLib takes a writable string
  return loaded_ && SUCCEEDED(RegisterTypeLib(loaded_.Get(), AsWide(path.data()), nullptr));
}

std::optional<std::vector<Guid>> Win32TypeLibrary::FindRegistered(const Guid& libId, std::uint16_t major,
                                                                  std::uint16_t minor, std::uint32_t locale) {
  ComPtr<ITypeLib> registered;
  if (FAILED(LoadRegTypeLib(reinterpret_cast<const GUID&>(libId), major, minor, locale, registered.Put()))) {
    return std::nullopt;
  }
  return DescribedInterfaces(registered.Get());
}

}  // namespace vorlane
