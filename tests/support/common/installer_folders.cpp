#include "common/installer_folders.h"

#include <windows.h>

#include "common/temporary_folder.h"
#include "support/win32/wide_text.h"

namespace vorlane::tests {

std::vector<std::u16string> InstallerFolders() {
  std::vector<std::u16string> folders;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(AsWide(TemporaryFolder() + u"VorlaneInstaller.*"), &found);
  if (search == INVALID_HANDLE_VALUE) return folders;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      folders.push_back(TemporaryFolder() + AsUtf16(found.cFileName) + u"\\");
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return folders;
}

void RemoveInstallerFolders() {
  for (const std::u16string& folder : InstallerFolders()) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(AsWide(folder + u"*"), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(AsWide(folder + AsUtf16(found.cFileName)));
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(AsWide(folder));
  }
}

}  // namespace vorlane::tests
