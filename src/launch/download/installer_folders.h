#pragma once
// Each installer download gets a folder of its own under the temporary
// folder, "VorlaneInstaller.<process id>.<n>", that only the user, SYSTEM and
// Administrators may use. The installer keeps its name in it, so a second
// download never touches the file a running installer was started from.
#include <cstdint>
#include <string>

namespace vorlane {

constexpr char16_t kInstallerFolderPrefix[] = u"VorlaneInstaller.";

class InstallerFolders {
 public:
  virtual ~InstallerFolders() = default;
  // Removes the folders of earlier downloads whose installers have ended;
  // folders in use (being written, or their installer running) stay.
  virtual void RemoveEnded() = 0;
  // A new private folder, held so that no one removes it while it is in
  // use; its path ending in a backslash, or empty when none can be made.
  virtual std::u16string Create() = 0;
  // Stops holding a folder Create gave; its installer may still run.
  virtual void Release(const std::u16string& folder) = 0;
  // Removes a folder Create gave, with the installer in it.
  virtual void Remove(const std::u16string& folder) = 0;
};

// "<temporary folder>VorlaneInstaller.<process>.<n>\"; empty when the
// temporary folder is empty or an installer path in it would not fit the
// 260-character path capacity.
std::u16string InstallerFolderPath(const std::u16string& temporaryFolder, std::uint32_t process, std::uint32_t n);

}  // namespace vorlane
