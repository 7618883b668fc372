// The real DLL registering and unregistering itself in the Wine registry.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "control/identifiers.h"
#include "loaded_module.h"

namespace vorlane::tests {
namespace {

const std::wstring kControlKey = L"CLSID\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}";
const std::wstring kPageKey = L"CLSID\\{E0B529AF-D370-4795-A7FA-73BA302E9DF6}";
const std::wstring kProgId = L"Vorlane.VorlaneCtrl.1";
const std::wstring kLibraryKey = L"TypeLib\\{51857C45-A18A-4079-B8A0-547195313D90}";
const std::wstring kDispatchKey = L"Interface\\{2AE993D0-ED49-4B91-B8DC-6AEB27D55BFF}";
const std::wstring kEventsKey = L"Interface\\{BEE2B8CD-966C-4465-894A-F446A80CE391}";
// The type library's platform entry follows the DLL's pointer size, which is
// this program's.
const std::wstring kPlatformEntry = sizeof(void*) == 8 ? L"win64" : L"win32";

std::wstring Value(const std::wstring& path, const std::wstring& name = L"") {
  std::wstring value;
  return ReadValue(path, name, &value) ? value : L"<missing>";
}

RegistryTree Everything() {
  RegistryTree all;
  for (const std::wstring& path : {kControlKey, kPageKey, kProgId, kLibraryKey, kDispatchKey, kEventsKey}) {
    RegistryTree part = ReadTree(path);
    all.insert(part.begin(), part.end());
  }
  return all;
}

DWORD RunRegsvr32(const std::wstring& switches) {
  std::wstring command = L"regsvr32.exe " + switches + L" \"" + OcxPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_NE(ocx.Handle(), nullptr);
    ASSERT_EQ(ocx.Unregister(), S_OK);
  }
  void TearDown() override {
    ocx.Unregister();
    CoUninitialize();
  }
  LoadedOcx ocx;
};

TEST_F(Registration, WritesTheClassesProgIdAndTypeLibrary) {
  ASSERT_EQ(ocx.Register(), S_OK);
  const std::wstring path = OcxPath();

  EXPECT_EQ(Value(kProgId), L"Vorlane  Control");
  EXPECT_EQ(Value(kProgId + L"\\CLSID"), L"{44575D42-B89E-423E-B3CF-B8AFE1897A80}");
  EXPECT_EQ(Value(kControlKey), L"Vorlane  Control");
  EXPECT_EQ(Value(kControlKey + L"\\ProgID"), kProgId);
  EXPECT_EQ(Value(kControlKey + L"\\InprocServer32"), path);
  EXPECT_EQ(Value(kControlKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  HKEY server;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, (kControlKey + L"\\InprocServer32").c_str(), 0, KEY_READ, &server),
            ERROR_SUCCESS);
  DWORD stored = 0;
  RegQueryValueExW(server, L"ThreadingModel", nullptr, nullptr, nullptr, &stored);
  RegCloseKey(server);
  EXPECT_EQ(stored, sizeof L"Apartment");  // terminator included
  EXPECT_EQ(Value(kControlKey + L"\\ToolboxBitmap32"), path + L", 1");
  EXPECT_EQ(Value(kControlKey + L"\\MiscStatus"), L"0");
  EXPECT_EQ(Value(kControlKey + L"\\MiscStatus\\1"), L"131473");
  EXPECT_EQ(Value(kControlKey + L"\\Control"), L"");
  EXPECT_EQ(Value(kControlKey + L"\\TypeLib"), L"{51857C45-A18A-4079-B8A0-547195313D90}");
  EXPECT_EQ(Value(kControlKey + L"\\Version"), L"8.0");

  EXPECT_EQ(Value(kPageKey), L"Vorlane 属性页");
  EXPECT_EQ(Value(kPageKey + L"\\InprocServer32"), path);
  EXPECT_EQ(Value(kPageKey + L"\\InprocServer32", L"ThreadingModel"), L"<missing>");
  RegistryTree page = ReadTree(kPageKey);
  EXPECT_EQ(page.size(), 2u);  // the class key and InprocServer32
  EXPECT_TRUE(ReadTree(L"Vorlane.VorlanePropPage.1").empty());

  // The library is recorded under the version the control looks it up by.
  EXPECT_FALSE(ReadTree(kLibraryKey + L"\\8.0\\409\\" + kPlatformEntry).empty());
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadRegTypeLib(reinterpret_cast<const GUID&>(kLibId), kTypeLibMajor, kTypeLibMinor, kTypeLibLocale, &library), S_OK);
  library->Release();
  EXPECT_FALSE(ReadTree(kDispatchKey).empty());
  EXPECT_FALSE(ReadTree(kEventsKey).empty());
}

TEST_F(Registration, RegisteringTwiceWritesTheSameEntries) {
  ASSERT_EQ(ocx.Register(), S_OK);
  RegistryTree first = Everything();
  ASSERT_EQ(ocx.Register(), S_OK);
  EXPECT_EQ(Everything(), first);
}

TEST_F(Registration, RoundTripLeavesTheRegistryAsItWas) {
  RegistryTree before = Everything();
  ASSERT_EQ(ocx.Register(), S_OK);
  ASSERT_NE(Everything(), before);
  ASSERT_EQ(ocx.Unregister(), S_OK);
  EXPECT_EQ(Everything(), before);
  EXPECT_TRUE(Everything().empty());
}

// A per-user install: the installer redirects the classes root to the
// user's hive, where every entry must land (the type library's too), none
// machine-wide. Under Wine 8 RegisterTypeLib follows the redirection even
// without OaEnablePerUserTLibRegistration (which Wine lacks), so this shows
// where the entries land, not the Windows fault itself.
TEST_F(Registration, RedirectedClassesRootTakesEveryEntryIntoTheUsersHive) {
  struct Redirect {
    HKEY userClasses = nullptr;
    Redirect() {
      RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &userClasses,
                      nullptr);
    }
    LSTATUS Begin() { return RegOverridePredefKey(HKEY_CLASSES_ROOT, userClasses); }
    void End() { RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr); }
    ~Redirect() {
      End();
      if (userClasses) RegCloseKey(userClasses);
    }
  } redirect;
  auto there = [](HKEY root, const std::wstring& path) {
    HKEY key;
    if (RegOpenKeyExW(root, (L"Software\\Classes\\" + path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  };
  const std::wstring keys[] = {kControlKey, kPageKey, kProgId, kLibraryKey, kDispatchKey, kEventsKey};

  ASSERT_EQ(ERROR_SUCCESS, redirect.Begin());
  HRESULT registered = ocx.Register();
  redirect.End();
  EXPECT_EQ(S_OK, registered);
  for (const std::wstring& key : keys) {
    EXPECT_TRUE(there(HKEY_CURRENT_USER, key)) << std::string(key.begin(), key.end());
    EXPECT_FALSE(there(HKEY_LOCAL_MACHINE, key)) << std::string(key.begin(), key.end());
  }

  ASSERT_EQ(ERROR_SUCCESS, redirect.Begin());
  HRESULT unregistered = ocx.Unregister();
  redirect.End();
  EXPECT_EQ(S_OK, unregistered);
  for (const std::wstring& key : keys) EXPECT_FALSE(there(HKEY_CURRENT_USER, key)) << std::string(key.begin(), key.end());
}

TEST_F(Registration, SixteenBitServerKeyKeepsTheClass) {
  ASSERT_EQ(ocx.Register(), S_OK);
  HKEY key;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, (kControlKey + L"\\InprocServer").c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);

  ASSERT_EQ(ocx.Unregister(), S_OK);

  EXPECT_TRUE(ReadTree(kControlKey + L"\\InprocServer32").empty());
  EXPECT_TRUE(ReadTree(kControlKey + L"\\ToolboxBitmap32").empty());
  EXPECT_EQ(Value(kControlKey + L"\\Version"), L"8.0");
  EXPECT_EQ(Value(kProgId + L"\\CLSID"), L"{44575D42-B89E-423E-B3CF-B8AFE1897A80}");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kControlKey.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId.c_str());
}

TEST_F(Registration, Regsvr32RegistersAndUnregisters) {
  RegistryTree before = Everything();
  ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
  EXPECT_EQ(Value(kControlKey + L"\\InprocServer32"), OcxPath());
  EXPECT_EQ(Value(kProgId), L"Vorlane  Control");
  ASSERT_EQ(RunRegsvr32(L"/s /u"), 0u);
  EXPECT_EQ(Everything(), before);
}

}  // namespace
}  // namespace vorlane::tests
