#include "download_test_support.h"

#include <windows.h>

#include "common/test_files.h"
#include "support/win32/module_lock.h"
#include "support/win32/wide_text.h"

namespace vorlane::tests {
namespace {

std::mutex launchesMutex;
std::vector<RecordedLaunch> launches;
std::vector<HANDLE> started;

HANDLE RecordAndStart(const char16_t* path, const char16_t* parameters) {
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
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace

int RecordingLauncher(const char16_t* path, const char16_t* parameters) {
  HANDLE process = RecordAndStart(path, parameters);
  if (process == nullptr) return 0;
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  return 1;
}

int StartingLauncher(const char16_t* path, const char16_t* parameters) {
  HANDLE process = RecordAndStart(path, parameters);
  if (process == nullptr) return 0;
  std::lock_guard lock(launchesMutex);
  started.push_back(process);
  return 1;
}

bool WaitForStartedPrograms() {
  std::vector<HANDLE> processes;
  {
    std::lock_guard lock(launchesMutex);
    processes.swap(started);
  }
  bool all = true;
  for (HANDLE process : processes) {
    all = WaitForSingleObject(process, 60000) == WAIT_OBJECT_0 && all;
    CloseHandle(process);
  }
  return all;
}

std::vector<RecordedLaunch> TakeLaunches() {
  std::lock_guard lock(launchesMutex);
  std::vector<RecordedLaunch> taken;
  taken.swap(launches);
  return taken;
}

bool IsPrivateInstallerPath(const std::u16string& path) {
  std::string pid = std::to_string(GetCurrentProcessId());
  std::u16string prefix = TemporaryFolder() + u"VorlaneInstaller." + std::u16string(pid.begin(), pid.end()) + u".";
  const std::u16string suffix = u"\\UpdateInstaller.exe";
  if (path.size() <= prefix.size() + suffix.size() || path.compare(0, prefix.size(), prefix) != 0) return false;
  if (path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  std::u16string n = path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
  return n.find_first_not_of(u"0123456789") == std::u16string::npos;
}

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

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
