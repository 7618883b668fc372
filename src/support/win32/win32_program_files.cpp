#include "support/win32/win32_program_files.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "support/diagnostic_log.h"
#include "support/win32/wide_text.h"

namespace vorlane {

std::u16string Win32ProgramFiles::ProgramFilesX86() {
  wchar_t folder[kPathCapacity] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE)) return {};
  return AsUtf16(folder);
}

bool Win32ProgramFiles::FileExists(const char16_t* path) { return PathFileExistsW(AsWide(path)) != FALSE; }

}  // namespace vorlane
