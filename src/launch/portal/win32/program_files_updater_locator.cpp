#include "launch/portal/win32/program_files_updater_locator.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "support/diagnostic_log.h"

namespace vorlane {

std::u16string ProgramFilesUpdaterLocator::ProgramFilesX86() {
  wchar_t folder[kPathCapacity] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE)) return {};
  return reinterpret_cast<const char16_t*>(folder);
}

bool ProgramFilesUpdaterLocator::FileExists(const char16_t* path) {
  return PathFileExistsW(reinterpret_cast<const wchar_t*>(path)) != FALSE;
}

}  // namespace vorlane
