#pragma once
// An updater under the 32-bit Program Files folder keeps Run on the updater
// road: no download thread, no message box, only the launch and the poller.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "bench_common.h"
#include "local_client/local_client_simulator.h"

namespace vorlane::bench {

// Copies the fake updater (which records its command line) into place.
inline void InstallUpdater() {
  wchar_t programFiles[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, programFiles, CSIDL_PROGRAM_FILESX86, TRUE);
  std::wstring folder = std::wstring(programFiles) + L"\\Corvanta\\Update";
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  std::u16string fake = vorlane::tests::FakeProgramsFolder() + u"Update.exe";
  if (!CopyFileW(reinterpret_cast<const wchar_t*>(fake.c_str()), (folder + L"\\Update.exe").c_str(), FALSE))
    Fail("cannot install the updater");
}

}  // namespace vorlane::bench
