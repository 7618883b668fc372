#pragma once
// The type library a module carries, as its registration names it.
#include <cstdint>

#include "support/guid.h"

namespace vorlane {

struct TypeLibraryIdentity {
  Guid libId;
  std::uint16_t major;
  std::uint16_t minor;
  // The locale the library is declared for; the system records it under that
  // locale only, so lookups of the registered library must name it.
  std::uint32_t locale;
};

}  // namespace vorlane
