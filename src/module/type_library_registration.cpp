#include "module/type_library_registration.h"

#include "module/registry_tree.h"

namespace vorlane {
namespace {

bool IsPlatformIndependentEntry(const std::u16string& name) { return name == u"HELPDIR" || name == u"FLAGS"; }

// Removes this platform's entries of one version; true when the version must
// stay because the other platform's registration shares it. *last is the last
// deletion's result.
bool RemoveVersion(RegistryPort& registry, RegistryKey libraryKey, const std::u16string& version,
                   TypeLibraryPlatform platform, RegistryError* last) {
  const std::u16string own = u"\\" + PlatformEntry(platform);
  const std::u16string other = u"\\" + PlatformEntry(OtherPlatform(platform));
  OpenRegistryKey versionKey(registry);
  if (versionKey.Open(libraryKey, version) != kRegistrySuccess) return false;
  bool keep = false;
  for (const std::u16string& locale : ListSubkeys(registry, versionKey.Get())) {
    if (IsPlatformIndependentEntry(locale)) continue;
    OpenRegistryKey otherEntry(registry);
    if (otherEntry.Open(versionKey.Get(), locale + other) == kRegistrySuccess) {
      otherEntry.Close();
      *last = DeleteKeyTree(registry, versionKey.Get(), locale + own);
      keep = true;
    } else {
      *last = DeleteKeyTree(registry, versionKey.Get(), locale);
    }
  }
  versionKey.Close();
  if (!keep) *last = DeleteKeyTree(registry, libraryKey, version);
  return keep;
}

}  // namespace

bool RegisterTypeLibrary(const TypeLibraryIdentity& identity, TypeLibraryPort& library, ModuleEnvironmentPort& module) {
  const std::u16string path = module.ModulePath();
  return library.LoadFromModule(path) && library.LoadedLibId() == identity.libId && library.RegisterLoaded(path);
}

bool UnregisterTypeLibrary(const TypeLibraryIdentity& identity, TypeLibraryPort& library, RegistryPort& registry,
                           ModuleEnvironmentPort& module) {
  std::optional<std::u16string> libId = module.GuidText(identity.libId);
  if (!libId) return false;
  auto findRegistered = [&] {
    return library.FindRegistered(identity.libId, identity.major, identity.minor, identity.locale);
  };
  const std::optional<std::vector<Guid>> before = findRegistered();

  const std::u16string libraryPath = u"TypeLib\\" + *libId;
  RegistryError last = kRegistrySuccess;
  OpenRegistryKey libraryKey(registry);
  if (libraryKey.Open(kClassesRoot, libraryPath) != kRegistrySuccess) {
    last = DeleteKeyTree(registry, kClassesRoot, libraryPath);
  } else {
    bool anyKept = false;
    for (const std::u16string& version : ListSubkeys(registry, libraryKey.Get())) {
      anyKept = RemoveVersion(registry, libraryKey.Get(), version, identity.platform, &last) || anyKept;
    }
    libraryKey.Close();
    if (!anyKept) last = DeleteKeyTree(registry, kClassesRoot, libraryPath);
  }
  if (!IsDeletionSuccess(last)) return false;

  if (before && !findRegistered()) {
    for (const Guid& iid : *before) {
      if (std::optional<std::u16string> text = module.GuidText(iid)) {
        DeleteKeyTree(registry, kClassesRoot, u"Interface\\" + *text);
      }
    }
  }
  return true;
}

}  // namespace vorlane
