#include "launch/process/win32/win32_process_port.h"

#include <windows.h>
#include <shellapi.h>

#include "support/win32/unique_handle.h"
#include "support/win32/wide_text.h"

namespace vorlane {

unsigned Win32ProcessPort::WindowsMajorVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&version);
#pragma GCC diagnostic pop
  return version.dwMajorVersion;
}

bool Win32ProcessPort::RunAs(const char16_t* path, const char16_t* parameters) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // Failures stay silent: without FLAG_NO_UI the shell shows its own error
  // box for a missing program and blocks the caller until it is dismissed.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"runas";
  info.lpFile = AsWide(path);
  info.lpParameters = AsWide(parameters);
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return false;
  UniqueHandle started(info.hProcess);  // not waited for
  return true;
}

bool Win32ProcessPort::StartProcess(std::u16string commandLine, bool waitUntilEnded) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring writable(commandLine.begin(), commandLine.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  UniqueHandle thread(process.hThread), started(process.hProcess);
  if (waitUntilEnded) WaitForSingleObject(started.Get(), INFINITE);
  return true;
}

}  // namespace vorlane
