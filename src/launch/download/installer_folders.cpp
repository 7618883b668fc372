#include "launch/download/installer_folders.h"

#include "launch/download/download_installer.h"
#include "support/decimal_text.h"

namespace vorlane {

std::u16string InstallerFolderPath(const std::u16string& temporaryFolder, std::uint32_t process, std::uint32_t n) {
  if (temporaryFolder.empty()) return {};
  std::u16string folder = temporaryFolder;
  if (folder.back() != u'\\') folder += u'\\';
  folder += kInstallerFolderPrefix + UnsignedDecimal(process) + u"." + UnsignedDecimal(n) + u"\\";
  if (InstallerFilePath(folder).empty()) return {};
  return folder;
}

}  // namespace vorlane
