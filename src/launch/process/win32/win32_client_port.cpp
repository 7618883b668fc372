#include "launch/process/win32/win32_client_port.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "status/win32/win32_poller_thread.h"
#include "support/diagnostic_log.h"

namespace vorlane {

std::u16string Win32ClientPort::ProgramFilesX86() {
  wchar_t folder[kPathCapacity] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE)) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(folder));
}

bool Win32ClientPort::FileExists(const char16_t* path) {
  return PathFileExistsW(reinterpret_cast<const wchar_t*>(path)) != FALSE;
}

void Win32ClientPort::SendPageOff() { vorlane::SendPageOff(); }

}  // namespace vorlane
