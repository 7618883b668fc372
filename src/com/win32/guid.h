#pragma once
// Our portable GUIDs as the Windows type (same layout).
#include <windows.h>
#include <guiddef.h>

#include "support/guid.h"

namespace vorlane {

inline const GUID& AsGuid(const Guid& guid) {
  static_assert(sizeof(Guid) == sizeof(GUID));
  return reinterpret_cast<const GUID&>(guid);
}

}  // namespace vorlane
