#pragma once
// The installer folders on Windows: made under the user's temporary folder
// with an access list for the user, SYSTEM and Administrators alone, and held
// open (without delete sharing) while a download uses them, so that no
// other download's sweep removes them meanwhile.
#include <map>
#include <string>

#include "support/win32/unique_handle.h"
#include "launch/download/installer_folders.h"

namespace vorlane {

class PrivateInstallerFolders final : public InstallerFolders {
 public:
  // temporaryFolder: where the folders go; empty for the user's own.
  explicit PrivateInstallerFolders(std::u16string temporaryFolder = {});
  void RemoveEnded() override;
  std::u16string Create() override;
  void Release(const std::u16string& folder) override;
  void Remove(const std::u16string& folder) override;

 private:
  std::u16string temporary_;
  std::map<std::u16string, UniqueHandle> held_;
};

// The access list the folders get, as SDDL: full control for SYSTEM,
// Administrators and the user the process runs as, nothing inherited from
// the temporary folder; empty when the user cannot be told.
std::u16string PrivateFolderSddl();

}  // namespace vorlane
