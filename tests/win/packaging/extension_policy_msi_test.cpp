// vorlane.msi's extension policies: with EXTENSION_UPDATE_URL,
// FIREFOX_EXTENSION_URL and PORTAL_ORIGINS it forces the extension into each
// browser and lists the portals in the extension's managed policy, under the
// IDs the host's manifests admit; each only when given, kept on repair, gone
// after uninstalling.
#include <windows.h>

#include <algorithm>
#include <optional>

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>

#include "common/test_files.h"
#include "release_files.h"

namespace vorlane::tests {
namespace {

constexpr char16_t kUpdateUrl[] = u"https://updates.example/vorlane/update.xml";
constexpr char16_t kFirefoxUrl[] = u"https://updates.example/vorlane/vorlane.xpi";
constexpr char16_t kPortals[] = u"https://gw.example;https://gw2.example:8443";

struct RegistryText {
  DWORD type = REG_NONE;
  std::u16string text;
};

// A value as text in the 64-bit view; nothing when it or its key is absent.
std::optional<RegistryText> ReadValue(const std::u16string& key, const wchar_t* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWide(key), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<wchar_t> data(4096);
  DWORD size = static_cast<DWORD>((data.size() - 2) * sizeof(wchar_t));
  RegistryText value;
  LONG status = RegQueryValueExW(opened, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return std::nullopt;
  std::u16string text(AsUtf16(data.data()), size / sizeof(wchar_t));
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  value.text = text;
  return value;
}

bool KeyThere(const std::u16string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWide(key), 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

// The first extension a release host manifest admits; empty for none.
std::string FirstAdmitted(const char16_t* manifestName, const char* member) {
  auto manifest = nlohmann::json::parse(ReadFileBytes(ReleaseFile(manifestName)), nullptr, false);
  if (!manifest.is_object() || !manifest[member].is_array() || manifest[member].empty()) return "";
  return manifest[member][0].is_string() ? manifest[member][0].get<std::string>() : "";
}
std::string AdmittedChromiumId() {
  std::string origin = FirstAdmitted(u"com.vorlane.bridge.json", "allowed_origins");
  const std::string scheme = "chrome-extension://";
  return origin.starts_with(scheme) ? origin.substr(scheme.size(), 32) : "";
}
std::string AdmittedFirefoxId() { return FirstAdmitted(u"com.vorlane.bridge.firefox.json", "allowed_extensions"); }

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }
std::string Narrow(const std::u16string& ascii) { return std::string(ascii.begin(), ascii.end()); }

struct PolicyKeys {
  std::u16string chromeForced = u"SOFTWARE\\Policies\\Google\\Chrome\\ExtensionInstallForcelist";
  std::u16string edgeForced = u"SOFTWARE\\Policies\\Microsoft\\Edge\\ExtensionInstallForcelist";
  std::u16string firefoxInstall = u"SOFTWARE\\Policies\\Mozilla\\Firefox\\Extensions\\Install";
  std::u16string firefoxLocked = u"SOFTWARE\\Policies\\Mozilla\\Firefox\\Extensions\\Locked";
  std::u16string chromePortals, edgePortals, firefoxPortals;
  PolicyKeys() {
    std::u16string id = Wide(AdmittedChromiumId());
    chromePortals = u"SOFTWARE\\Policies\\Google\\Chrome\\3rdparty\\extensions\\" + id + u"\\policy\\portals";
    edgePortals = u"SOFTWARE\\Policies\\Microsoft\\Edge\\3rdparty\\extensions\\" + id + u"\\policy\\portals";
    firefoxPortals = u"SOFTWARE\\Policies\\Mozilla\\Firefox\\3rdparty\\Extensions\\" + Wide(AdmittedFirefoxId()) + u"\\portals";
  }
  std::vector<std::u16string> All() const {
    return {chromeForced, edgeForced, firefoxInstall, firefoxLocked, chromePortals, edgePortals, firefoxPortals};
  }
};

// The release's package, or its copy that claims version 1.0.0.
long Msiexec(const std::u16string& action, const std::u16string& extra = u"", bool older = false) {
  std::u16string package = ReleaseFile(u"vorlane.msi");
  if (older) {
    std::u16string release = ReleaseFile(u"");
    release.pop_back();
    package = release.substr(0, release.find_last_of(u"\\/") + 1) + u"packaging\\test-msi\\vorlane-older.msi";
  }
  return RunToEnd(u"msiexec.exe " + action + u" \"" + package + u"\" /qn" + extra);
}

class ExtensionPolicyMsi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(32u, AdmittedChromiumId().size()) << "the release's Chromium host manifest admits no extension";
    ASSERT_FALSE(AdmittedFirefoxId().empty());
  }
  void TearDown() override {
    Msiexec(u"/x");
    Msiexec(u"/x", u"", true);
    for (const char16_t* root : {u"SOFTWARE\\Policies\\Google", u"SOFTWARE\\Policies\\Microsoft\\Edge",
                                 u"SOFTWARE\\Policies\\Mozilla"}) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, AsWide(root));
    }
  }

  // Every value the three properties write, as the browsers read them.
  void ExpectAllWritten() {
    const std::u16string forced = Wide(AdmittedChromiumId()) + u";" + kUpdateUrl;
    for (const std::u16string& key : {keys_.chromeForced, keys_.edgeForced}) {
      SCOPED_TRACE(Narrow(key));
      auto entry = ReadValue(key, L"1");
      ASSERT_TRUE(entry);
      EXPECT_EQ(static_cast<DWORD>(REG_SZ), entry->type);
      EXPECT_EQ(forced, entry->text);
    }
    auto install = ReadValue(keys_.firefoxInstall, L"1");
    ASSERT_TRUE(install);
    EXPECT_EQ(kFirefoxUrl, install->text);
    auto locked = ReadValue(keys_.firefoxLocked, L"1");
    ASSERT_TRUE(locked);
    EXPECT_EQ(Wide(AdmittedFirefoxId()), locked->text);

    // Each browser reads a list-typed policy from a key of values "1", "2", ...
    for (const std::u16string& key : {keys_.chromePortals, keys_.edgePortals, keys_.firefoxPortals}) {
      auto portals = ReadValue(key, L"1");
      ASSERT_TRUE(portals) << Narrow(key);
      EXPECT_EQ(static_cast<DWORD>(REG_SZ), portals->type);
      EXPECT_EQ(kPortals, portals->text);
    }
  }

  PolicyKeys keys_;
};

TEST_F(ExtensionPolicyMsi, ForcesTheExtensionAndListsThePortalsKeptOnRepairGoneAfterUninstall) {
  ASSERT_EQ(0, Msiexec(u"/i", std::u16string(u" EXTENSION_UPDATE_URL=") + kUpdateUrl + u" FIREFOX_EXTENSION_URL=" +
                                  kFirefoxUrl + u" PORTAL_ORIGINS=\"" + kPortals + u"\""));
  {
    SCOPED_TRACE("installed");
    ExpectAllWritten();
  }
  // A repair runs without the properties: the package writes what it wrote.
  ASSERT_EQ(0, Msiexec(u"/i", u" REINSTALL=ALL REINSTALLMODE=vomus"));
  {
    SCOPED_TRACE("repaired");
    ExpectAllWritten();
  }
  ASSERT_EQ(0, Msiexec(u"/x"));
  for (const std::u16string& key : keys_.All()) EXPECT_FALSE(ReadValue(key, L"1")) << Narrow(key);
  EXPECT_FALSE(ReadValue(u"SOFTWARE\\Vorlane\\Setup", L"PortalOrigins"));
}

// An upgrade removes the older product with its values and writes them anew.
TEST_F(ExtensionPolicyMsi, UpgradeKeepsWhatTheOlderPackageWrote) {
  ASSERT_EQ(0, Msiexec(u"/i", std::u16string(u" EXTENSION_UPDATE_URL=") + kUpdateUrl + u" PORTAL_ORIGINS=\"" + kPortals +
                                  u"\"", true));
  ASSERT_EQ(0, Msiexec(u"/i"));
  EXPECT_EQ(Wide(AdmittedChromiumId()) + u";" + kUpdateUrl, ReadValue(keys_.edgeForced, L"1").value_or(RegistryText{}).text);
  EXPECT_EQ(kPortals, ReadValue(keys_.firefoxPortals, L"1").value_or(RegistryText{}).text);
  EXPECT_FALSE(KeyThere(keys_.firefoxInstall));
}

// Nothing without the properties; one property writes its own part only.
TEST_F(ExtensionPolicyMsi, WritesOnlyWhatItIsGiven) {
  ASSERT_EQ(0, Msiexec(u"/i"));
  for (const std::u16string& key : keys_.All()) EXPECT_FALSE(KeyThere(key)) << Narrow(key);
  ASSERT_EQ(0, Msiexec(u"/x"));

  ASSERT_EQ(0, Msiexec(u"/i", std::u16string(u" PORTAL_ORIGINS=\"") + kPortals + u"\""));
  for (const std::u16string& key : {keys_.chromePortals, keys_.edgePortals, keys_.firefoxPortals}) {
    EXPECT_EQ(kPortals, ReadValue(key, L"1").value_or(RegistryText{}).text) << Narrow(key);
  }
  for (const std::u16string& key : {keys_.chromeForced, keys_.edgeForced, keys_.firefoxInstall, keys_.firefoxLocked}) {
    EXPECT_FALSE(KeyThere(key)) << Narrow(key);
  }
  ASSERT_EQ(0, Msiexec(u"/x"));
}

}  // namespace
}  // namespace vorlane::tests
