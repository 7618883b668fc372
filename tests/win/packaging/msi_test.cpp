// vorlane.msi under the platform's installer: it leaves the registry as the
// control's own DllRegisterServer leaves it, the control creatable by ProgID,
// and uninstalling leaves the machine as it was.
#include <ole2.h>
#include <msi.h>
#include <shlobj.h>

#include <gmock/gmock.h>

#include "common/test_files.h"
#include "policy/allow_list.h"
#include "policy/win32/registry_machine_policy.h"
#include "release_files.h"

namespace vorlane::tests {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

std::u16string InstalledControl() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE);
  return std::u16string(AsUtf16(folder)) + u"\\Vorlane\\vorlane.ocx";
}

// The release's package, or one of its copies that claim another version
// (build/win64/packaging/test-msi).
std::u16string Package(const std::u16string& name = u"vorlane.msi") {
  if (name == u"vorlane.msi") return ReleaseFile(name);
  std::u16string release = ReleaseFile(u"");
  release.pop_back();
  return release.substr(0, release.find_last_of(u"\\/") + 1) + u"packaging\\test-msi\\" + name;
}

long Msiexec(const std::u16string& action, const std::u16string& extra = u"",
             const std::u16string& package = u"vorlane.msi") {
  return RunToEnd(u"msiexec.exe " + action + u" \"" + Package(package) + u"\" /qn" + extra);
}

HRESULT CreateByProgId() {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(L"Vorlane.VorlaneCtrl.1", &clsid);
  if (FAILED(hr)) return hr;
  IDispatch* control = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control));
  if (control) control->Release();
  CoFreeUnusedLibrariesEx(0, 0);
  return hr;
}

bool FileThere(const std::u16string& path) { return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES; }

// Every installed product of the package's upgrade code.
std::vector<std::u16string> InstalledProducts() {
  std::vector<std::u16string> products;
  wchar_t product[39] = {};
  for (DWORD index = 0;
       MsiEnumRelatedProductsW(L"{7B0E4C2A-5F1D-4E8B-9C3A-2D6F8A1B4E70}", 0, index, product) == ERROR_SUCCESS;
       ++index) {
    products.push_back(AsUtf16(product));
  }
  return products;
}

std::u16string ProductVersion(const std::u16string& product) {
  wchar_t version[64] = {};
  DWORD size = 64;
  if (MsiGetProductInfoW(AsWide(product), INSTALLPROPERTY_VERSIONSTRING, version, &size) != ERROR_SUCCESS) return u"";
  return AsUtf16(version);
}

std::optional<std::u16string> AllowedHosts() { return ReadMachinePolicy().allowedHosts; }

bool KeyThere(const wchar_t* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// What the 64-bit DLL registers of an installation: the type library's key is
// one for both views, so the 32-bit DLL's win32 entry shows there too.
std::vector<std::string> OwnRows(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return line.find("\\8.0\\409\\win32") != std::string::npos; });
  return lines;
}

class Msi : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override {
    for (const std::u16string& product : InstalledProducts()) RunToEnd(u"msiexec.exe /x " + product + u" /qn");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Vorlane");
    CoUninitialize();
  }
};

TEST_F(Msi, InstallRegistersAsDllRegisterServerDoesAndUninstallRestores) {
  const std::vector<std::string> before = RegistrationSnapshot();
  EXPECT_NE(S_OK, CreateByProgId());

  ASSERT_EQ(0, Msiexec(u"/i"));
  const std::vector<std::string> installed = RegistrationSnapshot();
  EXPECT_TRUE(FileThere(InstalledControl()));
  EXPECT_EQ(S_OK, CreateByProgId());
  EXPECT_THAT(installed, Contains(HasSubstr("inprocserver32||1|C:\\Program Files\\Vorlane\\vorlane.ocx")));

  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_EQ(before, RegistrationSnapshot());
  EXPECT_FALSE(FileThere(InstalledControl()));
  EXPECT_NE(S_OK, CreateByProgId());

  // The same file at the same place, registered by itself.
  SHCreateDirectoryExW(nullptr, L"C:\\Program Files\\Vorlane", nullptr);
  ASSERT_TRUE(CopyFileW(AsWide(OwnReleaseFile(u"vorlane.ocx")), AsWide(InstalledControl()), FALSE));
  HMODULE module = LoadLibraryW(AsWide(InstalledControl()));
  ASSERT_NE(nullptr, module);
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_NE(nullptr, registerServer);
  EXPECT_EQ(S_OK, registerServer());
  EXPECT_EQ(OwnRows(installed), RegistrationSnapshot());
}

#ifdef VORLANE_X86_HOST
// The 32-bit page host, as a 32-bit tab: 0 when it created the control
// through the registry, which only the 32-bit DLL in the 32-bit view allows.
long CreateFrom32BitHost() { return RunToEnd(u"\"" VORLANE_X86_HOST u"\" release"); }

std::u16string Installed32BitControl() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, FALSE);
  return std::u16string(AsUtf16(folder)) + u"\\Vorlane\\vorlane.ocx";
}

TEST_F(Msi, InstallsBothBitnessesEachInItsOwnViewAndRemovesBoth) {
  ASSERT_NE(0, CreateFrom32BitHost());

  ASSERT_EQ(0, Msiexec(u"/i"));
  EXPECT_TRUE(FileThere(Installed32BitControl()));
  EXPECT_EQ(S_OK, CreateByProgId());
  EXPECT_EQ(0, CreateFrom32BitHost());
  const std::vector<std::string> view32 = RegistrationSnapshot(RegistryView::k32);
  EXPECT_THAT(view32, Contains(HasSubstr("inprocserver32||1|C:\\Program Files (x86)\\Vorlane\\vorlane.ocx")));
  EXPECT_THAT(view32, Contains(HasSubstr("\\8.0\\409\\win32||1|C:\\Program Files (x86)\\Vorlane\\vorlane.ocx")));
  EXPECT_THAT(RegistrationSnapshot(), Contains(HasSubstr("\\8.0\\409\\win64||1|C:\\Program Files\\Vorlane\\vorlane.ocx")));

  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_FALSE(FileThere(Installed32BitControl()));
  EXPECT_NE(0, CreateFrom32BitHost());
  for (const std::string& line : RegistrationSnapshot(RegistryView::k32)) {
    EXPECT_EQ(std::string::npos, line.find("Program Files (x86)")) << line;
  }
}
#endif

TEST_F(Msi, AllowedHostsPropertySetsThePolicyUntilUninstalled) {
  ASSERT_EQ(0, Msiexec(u"/i", u" ALLOWEDHOSTS=\"gw1.example;gw2.example\""));
  MachinePolicy policy = ReadMachinePolicy();
  ASSERT_TRUE(policy.allowedHosts);
  EXPECT_TRUE(AddressMayScript(policy, u"https://gw2.example/portals/index.html"));
  EXPECT_FALSE(AddressMayScript(policy, u"https://other.example/"));

  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_FALSE(ReadMachinePolicy().allowedHosts);
}

TEST_F(Msi, WithoutAllowedHostsNoPolicyIsWritten) {
  ASSERT_EQ(0, Msiexec(u"/i"));
  EXPECT_FALSE(ReadMachinePolicy().allowedHosts);
  ASSERT_EQ(0, Msiexec(u"/x"));
}

// A repair runs without the property; it must write the list it wrote
// before, not an empty one that refuses every page.
TEST_F(Msi, RepairKeepsTheListItWroteAndOneProduct) {
  ASSERT_EQ(0, Msiexec(u"/i", u" ALLOWEDHOSTS=gw.example:8443"));
  ASSERT_EQ(1u, InstalledProducts().size());
  ASSERT_EQ(0, Msiexec(u"/i", u" REINSTALL=ALL REINSTALLMODE=vomus"));
  EXPECT_EQ(1u, InstalledProducts().size());
  EXPECT_EQ(u"gw.example:8443", AllowedHosts().value_or(u"(none)"));
  EXPECT_TRUE(AddressMayScript(ReadMachinePolicy(), u"https://gw.example:8443/"));
  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_FALSE(AllowedHosts());
  EXPECT_TRUE(InstalledProducts().empty());
}

// A newer package replaces the older one and carries its list; a list given
// to the newer one replaces it; an older package is refused.
TEST_F(Msi, UpgradesReplaceTheProductKeepTheListAndDowngradesAreRefused) {
  ASSERT_EQ(0, Msiexec(u"/i", u" ALLOWEDHOSTS=gw.example", u"vorlane-older.msi"));
  ASSERT_EQ(1u, InstalledProducts().size());
  EXPECT_EQ(u"1.0.0", ProductVersion(InstalledProducts()[0]));

  ASSERT_EQ(0, Msiexec(u"/i"));
  std::vector<std::u16string> products = InstalledProducts();
  ASSERT_EQ(1u, products.size());
  EXPECT_NE(u"1.0.0", ProductVersion(products[0]));
  EXPECT_EQ(u"gw.example", AllowedHosts().value_or(u"(none)"));
  EXPECT_TRUE(FileThere(InstalledControl()));

  ASSERT_EQ(0, Msiexec(u"/i", u" ALLOWEDHOSTS=gw2.example", u"vorlane-newer.msi"));
  products = InstalledProducts();
  ASSERT_EQ(1u, products.size());
  EXPECT_EQ(u"99.0.0", ProductVersion(products[0]));
  EXPECT_EQ(u"gw2.example", AllowedHosts().value_or(u"(none)"));

  EXPECT_NE(0, Msiexec(u"/i"));
  products = InstalledProducts();
  ASSERT_EQ(1u, products.size());
  EXPECT_EQ(u"99.0.0", ProductVersion(products[0]));
  EXPECT_EQ(u"gw2.example", AllowedHosts().value_or(u"(none)"));
  EXPECT_EQ(S_OK, CreateByProgId());
}

// Group Policy (or the administrator) owns a list the package did not write.
TEST_F(Msi, LeavesAListItDidNotWrite) {
  const std::u16string list(u"admin.example\0\0", 15);
  ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Vorlane", L"AllowedHosts",
                                           REG_MULTI_SZ, list.data(), static_cast<DWORD>(list.size() * 2)));
  ASSERT_EQ(0, Msiexec(u"/i"));
  ASSERT_EQ(0, Msiexec(u"/i", u" REINSTALL=ALL REINSTALLMODE=vomus"));
  EXPECT_EQ(u"admin.example", AllowedHosts().value_or(u"(none)"));
  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_EQ(u"admin.example", AllowedHosts().value_or(u"(none)"));
}

TEST_F(Msi, PreApprovesTheControlForTheBrowserUntilUninstalled) {
  const wchar_t* key =
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}";
  EXPECT_FALSE(KeyThere(key));
  ASSERT_EQ(0, Msiexec(u"/i"));
  EXPECT_TRUE(KeyThere(key));
  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_FALSE(KeyThere(key));
}

}  // namespace
}  // namespace vorlane::tests
