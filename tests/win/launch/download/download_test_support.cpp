#include "download_test_support.h"

#include <windows.h>

#include "common/test_files.h"
#include "support/win32/module_lock.h"
#include "support/win32/wide_text.h"

namespace vorlane::tests {
namespace {

std::mutex launchesMutex;
std::vector<RecordedLaunch> launches;

}  // namespace

int RecordingLauncher(const char16_t* path, const char16_t* parameters) {
  RecordedLaunch launch{path, parameters, ReadFileBytes(path)};
  {
    std::lock_guard lock(launchesMutex);
    launches.push_back(launch);
  }
  std::u16string commandLine = u"\"" + launch.path + u"\" " + launch.parameters;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, const_cast<wchar_t*>(AsWide(commandLine)), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 0;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1;
}

std::vector<RecordedLaunch> TakeLaunches() {
  std::lock_guard lock(launchesMutex);
  std::vector<RecordedLaunch> taken;
  taken.swap(launches);
  return taken;
}

std::u16string TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, folder);
  return reinterpret_cast<const char16_t*>(folder);
}

std::u16string InstallerInTemporaryFolder() { return TemporaryFolder() + u"UpdateInstaller.exe"; }

std::u16string ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = reinterpret_cast<const char16_t*>(path);
  return folder.substr(0, folder.find_last_of(u'\\') + 1);
}

bool FileExists(const std::u16string& path) { return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES; }

bool WaitForDownloadThreads() {
  // Generous: a stuck thread fails the test instead of hanging the suite.
  for (int i = 0; i < 2400; ++i) {
    if (ModuleLock::Count() == 0) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace vorlane::tests
