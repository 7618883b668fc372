// vorlane.msi and the native messaging host: the host and its manifests
// installed beside the control, registered for Chrome, Edge and Firefox under
// HKLM as each browser looks for them, and gone again after uninstalling.
#include <shlobj.h>

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>

#include "common/test_files.h"
#include "release_files.h"

namespace vorlane::tests {
namespace {

struct Browser {
  const wchar_t* key;
  const char16_t* manifest;
  const char* admits;  // the manifest's list of the extensions it lets in
};
constexpr Browser kBrowsers[] = {
    {L"SOFTWARE\\Google\\Chrome\\NativeMessagingHosts\\com.vorlane.bridge", u"com.vorlane.bridge.json",
     "allowed_origins"},
    {L"SOFTWARE\\Microsoft\\Edge\\NativeMessagingHosts\\com.vorlane.bridge", u"com.vorlane.bridge.json",
     "allowed_origins"},
    {L"SOFTWARE\\Mozilla\\NativeMessagingHosts\\com.vorlane.bridge", u"com.vorlane.bridge.firefox.json",
     "allowed_extensions"},
};

std::u16string InstallFolder() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE);
  return std::u16string(AsUtf16(folder)) + u"\\Vorlane\\";
}

// The key's default value in the 64-bit view; nothing when the key is absent.
std::optional<std::u16string> Registered(const wchar_t* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  LONG status = RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::u16string(AsUtf16(value));
}

long Msiexec(const std::u16string& action) {
  return RunToEnd(u"msiexec.exe " + action + u" \"" + ReleaseFile(u"vorlane.msi") + u"\" /qn");
}

TEST(BridgeMsi, InstallsTheHostAndRegistersItsManifestsForEachBrowserUntilUninstalled) {
  for (const Browser& browser : kBrowsers) ASSERT_FALSE(Registered(browser.key));
  ASSERT_EQ(0, Msiexec(u"/i"));
  for (const Browser& browser : kBrowsers) {
    SCOPED_TRACE(std::string(browser.admits));
    std::optional<std::u16string> manifestPath = Registered(browser.key);
    ASSERT_TRUE(manifestPath);
    EXPECT_EQ(InstallFolder() + browser.manifest, *manifestPath);
    nlohmann::json manifest = nlohmann::json::parse(ReadFileBytes(*manifestPath), nullptr, false);
    ASSERT_TRUE(manifest.is_object());
    EXPECT_EQ("com.vorlane.bridge", manifest["name"]);
    EXPECT_EQ("stdio", manifest["type"]);
    EXPECT_TRUE(manifest[browser.admits].is_array());
    // A path without a folder is taken relative to the manifest.
    std::string path = manifest["path"];
    std::string host = ReadFileBytes(InstallFolder() + std::u16string(path.begin(), path.end()));
    EXPECT_TRUE(host == ReadFileBytes(ReleaseFile(u"vorlane-bridge.exe")))
        << "the installed host is the release's, " << host.size() << " bytes";
    EXPECT_TRUE(ReadPeFacts(host).signedImage);
    EXPECT_THAT(ReadPeFacts(host).sections, ::testing::Not(::testing::Contains(".debug_info"))) << "stripped";
  }
  ASSERT_EQ(0, Msiexec(u"/x"));
  for (const Browser& browser : kBrowsers) EXPECT_FALSE(Registered(browser.key));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(AsWide(InstallFolder() + u"vorlane-bridge.exe")));
}

}  // namespace
}  // namespace vorlane::tests
