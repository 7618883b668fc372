#include "module/class_registration.h"

#include <string>

#include "module/registry_tree.h"
#include "support/decimal_text.h"

namespace vorlane {
namespace {

struct DefaultValue {
  std::u16string subkey;
  std::u16string text;
};

bool WriteAll(RegistryPort& registry, RegistryKey key, std::initializer_list<DefaultValue> values) {
  for (const DefaultValue& value : values) {
    if (registry.SetDefaultValue(key, value.subkey, value.text) != kRegistrySuccess) return false;
  }
  return true;
}

bool RegisterControl(const ClassRegistration& entry, const std::u16string& classKeyPath,
                     const std::u16string& clsid, const std::u16string& typeName, RegistryPort& registry,
                     ModuleEnvironmentPort& module) {
  const ControlEntries& control = *entry.control;
  std::optional<std::u16string> libId = module.GuidText(control.library.libId);
  if (!libId) return false;
  const std::u16string path = module.ModulePath();
  const std::u16string version = UnsignedDecimal(control.library.major) + u"." + UnsignedDecimal(control.library.minor);

  OpenRegistryKey classKey(registry);
  OpenRegistryKey progIdKey(registry);
  if (classKey.Create(kClassesRoot, classKeyPath) != kRegistrySuccess) return false;
  if (progIdKey.Create(kClassesRoot, entry.progId) != kRegistrySuccess) return false;

  if (!WriteAll(registry, progIdKey.Get(), {{u"", typeName}, {u"CLSID", clsid}})) return false;
  if (!WriteAll(registry, classKey.Get(),
                {{u"", typeName},
                 {u"ProgID", entry.progId},
                 {u"InprocServer32", path},
                 {u"ToolboxBitmap32", path + u", " + UnsignedDecimal(control.toolboxBitmapId)},
                 {u"MiscStatus", u"0"},
                 {u"MiscStatus\\1", UnsignedDecimal(control.miscStatus)},
                 {u"Control", u""},
                 {u"TypeLib", *libId},
                 {u"Version", version}})) {
    return false;
  }
  OpenRegistryKey server(registry);
  return server.Open(classKey.Get(), u"InprocServer32") == kRegistrySuccess &&
         registry.SetNamedValue(server.Get(), u"ThreadingModel", u"Apartment") == kRegistrySuccess;
}

bool RegisterPropertyPage(const std::u16string& classKeyPath, const std::u16string& typeName, RegistryPort& registry,
                          ModuleEnvironmentPort& module) {
  OpenRegistryKey classKey(registry);
  if (classKey.Create(kClassesRoot, classKeyPath) != kRegistrySuccess) return false;
  return WriteAll(registry, classKey.Get(), {{u"", typeName}, {u"InprocServer32", module.ModulePath()}});
}

bool Unregister(const ClassRegistration& entry, const std::u16string& classKeyPath, RegistryPort& registry) {
  // A 16-bit server shares the class: leave the class to it, take only ours.
  OpenRegistryKey sixteenBit(registry);
  if (sixteenBit.Open(kClassesRoot, classKeyPath + u"\\InprocServer") == kRegistrySuccess) {
    sixteenBit.Close();
    const bool server = IsDeletionSuccess(DeleteKeyTree(registry, kClassesRoot, classKeyPath + u"\\InprocServer32"));
    const bool bitmap = IsDeletionSuccess(DeleteKeyTree(registry, kClassesRoot, classKeyPath + u"\\ToolboxBitmap32"));
    return server && bitmap;
  }
  bool removed = IsDeletionSuccess(DeleteKeyTree(registry, kClassesRoot, classKeyPath));
  if (entry.progId != nullptr) {
    removed = IsDeletionSuccess(DeleteKeyTree(registry, kClassesRoot, entry.progId)) && removed;
  }
  return removed;
}

}  // namespace

bool UpdateClassRegistry(const ClassRegistration& entry, bool install, RegistryPort& registry,
                         ModuleEnvironmentPort& module) {
  std::optional<std::u16string> clsid = module.GuidText(entry.clsid);
  if (!clsid) return false;
  const std::u16string classKeyPath = u"CLSID\\" + *clsid;
  if (!install) return Unregister(entry, classKeyPath, registry);

  const std::u16string typeName = module.StringResource(entry.typeNameString).value_or(*clsid);
  if (entry.control != nullptr) return RegisterControl(entry, classKeyPath, *clsid, typeName, registry, module);
  return RegisterPropertyPage(classKeyPath, typeName, registry, module);
}

}  // namespace vorlane
