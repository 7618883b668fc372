// A browser frees the DLL once nothing of it is alive and may load it again
// in the same process: the log file must not stay held by the freed copy.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include "control/identifiers.h"
#include "loaded_module.h"

namespace vorlane::tests {
namespace {

constexpr wchar_t kLogPath[] = L"C:\\ie_sslvpn_client.log";

// True when a writer that shares the file with readers only can open it,
// i.e. nobody else holds it for writing.
bool LogFileFree() {
  HANDLE file = CreateFileW(kLogPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Creates a control and initialises it as new, which opens the log.
void InitialiseAControl(const LoadedOcx& ocx) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(ocx.GetClassObject(reinterpret_cast<const GUID&>(kControlClsid), IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)),
            S_OK);
  IPersistStreamInit* persist = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)), S_OK);
  factory->Release();
  EXPECT_EQ(persist->InitNew(), S_OK);
  persist->Release();
}

TEST(ModuleUnload, FreedDllReleasesTheLogAndAReloadedOneOpensItAgain) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (int load = 0; load < 2; ++load) {
    LoadedOcx ocx;
    ASSERT_NE(ocx.Handle(), nullptr);
    InitialiseAControl(ocx);
    EXPECT_FALSE(LogFileFree()) << "load " << load << ": the control did not open the log";
    ASSERT_EQ(ocx.CanUnloadNow(), S_OK);
  }
  EXPECT_TRUE(LogFileFree());
  CoUninitialize();
}

}  // namespace
}  // namespace vorlane::tests
