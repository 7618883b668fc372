#pragma once
// The type library a control's type information comes from: the registered
// library of the control's LIBID and version, or else the one inside the
// module file. One locale is cached at a time.
#include <windows.h>
#include <oaidl.h>

#include "support/win32/com_ptr.h"

namespace vorlane {

class TypeInfoCache {
 public:
  TypeInfoCache(const GUID& libId, WORD major, WORD minor) : libId_(libId), major_(major), minor_(minor) {}
  HRESULT GetTypeLib(LCID lcid, ComPtr<ITypeLib>& out);
  HRESULT GetTypeInfo(const GUID& guid, LCID lcid, ITypeInfo** out);

 private:
  GUID libId_;
  WORD major_, minor_;
  LCID lcid_ = 0;
  ComPtr<ITypeLib> lib_;
};

}  // namespace vorlane
