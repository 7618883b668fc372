#pragma once
// Looks for the updater under the 32-bit Program Files folder.
#include "launch/portal/launch_road_ports.h"

namespace vorlane {

class ProgramFilesUpdaterLocator final : public UpdaterLocator {
 public:
  std::u16string ProgramFilesX86() override;
  bool FileExists(const char16_t* path) override;
};

}  // namespace vorlane
