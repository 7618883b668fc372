// Both DLLs registered on one machine: the 64-bit one by 64-bit regsvr32, the
// 32-bit one by the 32-bit regsvr32 of the WoW64 side. Each is created by a
// host of its own bitness (this program, the 32-bit page host), and taking
// either away leaves the other working.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "control/identifiers.h"
#include "loaded_module.h"

namespace vorlane::tests {
namespace {

const std::wstring kX86Ocx = VORLANE_X86_BIN L"\\vorlane.ocx";
const std::wstring kX86Host = VORLANE_X86_BIN L"\\vorlane-host.exe";
const wchar_t kLibraryVersion[] = L"TypeLib\\{51857C45-A18A-4079-B8A0-547195313D90}\\8.0\\409\\";

DWORD Run(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::wstring SystemFolder(bool wow64) {
  wchar_t folder[MAX_PATH] = {};
  if (wow64) {
    GetSystemWow64DirectoryW(folder, MAX_PATH);
  } else {
    GetSystemDirectoryW(folder, MAX_PATH);
  }
  return folder;
}

DWORD Regsvr64(const std::wstring& switches) {
  return Run(L"\"" + SystemFolder(false) + L"\\regsvr32.exe\" /s " + switches + L" \"" + OcxPath() + L"\"");
}
DWORD Regsvr32(const std::wstring& switches) {
  return Run(L"\"" + SystemFolder(true) + L"\\regsvr32.exe\" /s " + switches + L" \"" + kX86Ocx + L"\"");
}

// The 32-bit page host creates the control through the registry: 0 when it did.
DWORD CreateIn32BitHost() { return Run(L"\"" + kX86Host + L"\" release"); }

HRESULT CreateHere() {
  IDispatch* control = nullptr;
  HRESULT hr = CoCreateInstance(reinterpret_cast<const CLSID&>(kControlClsid), nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(&control));
  if (control) control->Release();
  CoFreeUnusedLibrariesEx(0, 0);
  return hr;
}

// The server path a view records for the control's class.
std::wstring ServerIn(REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"Software\\Classes\\CLSID\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}\\InprocServer32", 0,
                    KEY_READ | view, &key) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  LONG status = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? value : L"<unreadable>";
}

bool LibraryEntry(const wchar_t* platform) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (kLibraryVersion + std::wstring(platform)).c_str(), 0,
                    KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

class Bitness : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_EQ(0u, Regsvr64(L""));
    ASSERT_EQ(0u, Regsvr32(L""));
  }
  void TearDown() override {
    Regsvr64(L"/u");
    Regsvr32(L"/u");
    CoUninitialize();
  }
};

TEST_F(Bitness, BothRegisteredEachCreatedByAHostOfItsOwnBitness) {
  EXPECT_EQ(OcxPath(), ServerIn(KEY_WOW64_64KEY));
  EXPECT_EQ(kX86Ocx, ServerIn(KEY_WOW64_32KEY));
  EXPECT_TRUE(LibraryEntry(L"win64"));
  EXPECT_TRUE(LibraryEntry(L"win32"));
  EXPECT_EQ(S_OK, CreateHere());
  EXPECT_EQ(0u, CreateIn32BitHost());
}

TEST_F(Bitness, UnregisteringThe32BitOneLeavesThe64BitOneWorking) {
  ASSERT_EQ(0u, Regsvr32(L"/u"));
  EXPECT_EQ(L"<missing>", ServerIn(KEY_WOW64_32KEY));
  EXPECT_FALSE(LibraryEntry(L"win32"));
  EXPECT_NE(0u, CreateIn32BitHost());

  EXPECT_EQ(OcxPath(), ServerIn(KEY_WOW64_64KEY));
  EXPECT_TRUE(LibraryEntry(L"win64"));
  EXPECT_EQ(S_OK, CreateHere());
  ITypeLib* library = nullptr;
  ASSERT_EQ(S_OK, LoadRegTypeLib(reinterpret_cast<const GUID&>(kLibId), kTypeLibMajor, kTypeLibMinor,
                                 kTypeLibLocale, &library));
  library->Release();
}

TEST_F(Bitness, UnregisteringThe64BitOneLeavesThe32BitOneWorking) {
  ASSERT_EQ(0u, Regsvr64(L"/u"));
  EXPECT_EQ(L"<missing>", ServerIn(KEY_WOW64_64KEY));
  EXPECT_FALSE(LibraryEntry(L"win64"));
  EXPECT_NE(S_OK, CreateHere());

  EXPECT_EQ(kX86Ocx, ServerIn(KEY_WOW64_32KEY));
  EXPECT_TRUE(LibraryEntry(L"win32"));
  EXPECT_EQ(0u, CreateIn32BitHost());
}

}  // namespace
}  // namespace vorlane::tests
