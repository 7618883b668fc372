#include "com/win32/type_info_cache.h"

#include "support/win32/module_path.h"

namespace vorlane {

HRESULT TypeInfoCache::GetTypeLib(LCID lcid, ComPtr<ITypeLib>& out) {
  if (!lib_ || lcid_ != lcid) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadRegTypeLib(libId_, major_, minor_, lcid, lib.Put());
    if (FAILED(hr)) hr = LoadTypeLib(ModulePath().c_str(), lib.Put());
    if (FAILED(hr)) return hr;
    lib_ = lib;
    lcid_ = lcid;
  }
  out = lib_;
  return S_OK;
}

HRESULT TypeInfoCache::GetTypeInfo(const GUID& guid, LCID lcid, ITypeInfo** out) {
  *out = nullptr;
  ComPtr<ITypeLib> lib;
  HRESULT hr = GetTypeLib(lcid, lib);
  if (FAILED(hr)) return hr;
  return lib->GetTypeInfoOfGuid(guid, out);
}

}  // namespace vorlane
