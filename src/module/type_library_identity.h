#pragma once
// The type library a module carries, as its registration names it.
#include <cstdint>
#include <string>

#include "support/guid.h"

namespace vorlane {

// The platform entry a registration writes under a version and locale
// ("win32" or "win64"); one of each may stand side by side on 64-bit Windows.
enum class TypeLibraryPlatform { kWin32, kWin64 };

inline std::u16string PlatformEntry(TypeLibraryPlatform platform) {
  return platform == TypeLibraryPlatform::kWin64 ? u"win64" : u"win32";
}

inline TypeLibraryPlatform OtherPlatform(TypeLibraryPlatform platform) {
  return platform == TypeLibraryPlatform::kWin64 ? TypeLibraryPlatform::kWin32 : TypeLibraryPlatform::kWin64;
}

// The entry a module registers follows its pointer size, as the system's
// registration of the library it carries does.
constexpr TypeLibraryPlatform kThisModulesPlatform =
    sizeof(void*) == 8 ? TypeLibraryPlatform::kWin64 : TypeLibraryPlatform::kWin32;

struct TypeLibraryIdentity {
  Guid libId;
  std::uint16_t major;
  std::uint16_t minor;
  // The locale the library is declared for; the system records it under that
  // locale only, so lookups of the registered library must name it.
  std::uint32_t locale;
  TypeLibraryPlatform platform = kThisModulesPlatform;
};

}  // namespace vorlane
