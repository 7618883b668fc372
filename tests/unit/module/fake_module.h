#pragma once
// The module file and the type-library services, in memory. The fake type
// library registers itself into a FakeRegistry the way the system does
// (TypeLib and Interface keys), so lookups follow what is really there.
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "control/identifiers.h"
#include "fake_registry.h"
#include "module/module_environment_port.h"
#include "module/type_library_port.h"

namespace vorlane::tests {

inline std::u16string GuidString(const Guid& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1, g.data2, g.data3,
                g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return std::u16string(text, text + 38);
}

class FakeModule final : public ModuleEnvironmentPort {
 public:
  std::u16string ModulePath() override { return path; }
  std::optional<std::u16string> StringResource(int id) override {
    auto found = strings.find(id);
    if (found == strings.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::u16string> GuidText(const Guid& guid) override {
    if (failingGuids.count(guid.data1)) return std::nullopt;
    return GuidString(guid);
  }

  std::u16string path = u"C:\\x\\vorlane.ocx";
  std::map<int, std::u16string> strings{{1, u"Vorlane  Control"}, {2, u"Vorlane 属性页"}, {200, u"常规"}};
  std::set<std::uint32_t> failingGuids;  // by data1
};

class FakeTypeLibrary final : public TypeLibraryPort {
 public:
  explicit FakeTypeLibrary(FakeRegistry& registry) : registry_(registry) {}

  bool LoadFromModule(const std::u16string&) override { return hasLibrary; }
  Guid LoadedLibId() override { return libId; }
  bool RegisterLoaded(const std::u16string& path) override {
    if (!registerSucceeds) return false;
    const std::u16string version = LibraryKey() + u"\\8.0";
    registry_.AddKey(version + u"\\FLAGS");
    registry_.AddKey(version + u"\\HELPDIR");
    RegistryKey key;
    registry_.CreateKey(kClassesRoot, version + u"\\409\\" + PlatformEntry(platform), &key);
    registry_.SetDefaultValue(key, u"", path);
    registry_.CloseKey(key);
    for (const Guid& iid : interfaces) registry_.AddKey(u"Interface\\" + GuidString(iid) + u"\\TypeLib");
    registry_.writes.clear();  // what registration itself writes is what tests compare
    return true;
  }
  std::optional<std::vector<Guid>> FindRegistered(const Guid& id, std::uint16_t major, std::uint16_t minor,
                                                  std::uint32_t locale) override {
    // Found when that version and locale has an entry for this platform.
    char version[32];
    std::snprintf(version, sizeof version, "%u.%u\\%x\\", major, minor, locale);
    const std::u16string key = u"TypeLib\\" + GuidString(id) + u"\\" +
                               std::u16string(version, version + std::strlen(version)) + PlatformEntry(platform);
    if (registry_.HasKey(key)) return interfaces;
    return std::nullopt;
  }

  std::u16string LibraryKey() const { return u"TypeLib\\" + GuidString(kLibId); }

  bool hasLibrary = true;
  bool registerSucceeds = true;
  TypeLibraryPlatform platform = TypeLibraryPlatform::kWin64;
  Guid libId = kLibId;
  std::vector<Guid> interfaces{kDispatchIid, kEventsIid};

 private:
  FakeRegistry& registry_;
};

}  // namespace vorlane::tests
