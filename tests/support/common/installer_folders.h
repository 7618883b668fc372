#pragma once
// The private folders the installer download makes under the temporary
// folder (VorlaneInstaller.<pid>.<n>\), as suites find and clear them.
#include <string>
#include <vector>

namespace vorlane::tests {

// Every such folder, each path ending in "\".
std::vector<std::u16string> InstallerFolders();
// Removes each folder with the files in it.
void RemoveInstallerFolders();

}  // namespace vorlane::tests
