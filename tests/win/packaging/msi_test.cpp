// vorlane.msi under the platform's installer: it leaves the registry as the
// control's own DllRegisterServer leaves it, the control creatable by ProgID,
// and uninstalling leaves the machine as it was.
#include <ole2.h>
#include <shlobj.h>

#include <gmock/gmock.h>

#include "common/test_files.h"
#include "fakes/fake_page.h"
#include "policy/allow_list.h"
#include "policy/win32/registry_allow_list.h"
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

long Msiexec(const std::u16string& action, const std::u16string& extra = u"") {
  return RunToEnd(u"msiexec.exe " + action + u" \"" + ReleaseFile(u"vorlane.msi") + u"\" /qn" + extra);
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

class Msi : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
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
  ASSERT_TRUE(CopyFileW(AsWide(ReleaseFile(u"vorlane.ocx")), AsWide(InstalledControl()), FALSE));
  HMODULE module = LoadLibraryW(AsWide(InstalledControl()));
  ASSERT_NE(nullptr, module);
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_NE(nullptr, registerServer);
  EXPECT_EQ(S_OK, registerServer());
  EXPECT_EQ(installed, RegistrationSnapshot());
}

TEST_F(Msi, AllowedHostsPropertySetsThePolicyUntilUninstalled) {
  ASSERT_EQ(0, Msiexec(u"/i", u" ALLOWEDHOSTS=\"gw1.example;gw2.example\""));
  RegistryAllowList policy;
  auto hosts = policy.AllowedHosts();
  ASSERT_TRUE(hosts);
  FakePage page;
  page.documentUrl = u"https://gw2.example/portals/index.html";
  EXPECT_TRUE(PageMayScript(policy, page));
  page.documentUrl = u"https://other.example/";
  EXPECT_FALSE(PageMayScript(policy, page));

  ASSERT_EQ(0, Msiexec(u"/x"));
  EXPECT_FALSE(policy.AllowedHosts());
}

TEST_F(Msi, WithoutAllowedHostsNoPolicyIsWritten) {
  ASSERT_EQ(0, Msiexec(u"/i"));
  EXPECT_FALSE(RegistryAllowList().AllowedHosts());
  ASSERT_EQ(0, Msiexec(u"/x"));
}

}  // namespace
}  // namespace vorlane::tests
