#pragma once
// Starts the installer download on a detached thread of its own.
#include "launch/portal/launch_road_ports.h"
#include "launch/portal/portal_context.h"

namespace vorlane {

// The thread works on its own copy of context, so a later Run or a destroyed
// control cannot change what it reads, and holds the module while it runs.
// It shows the failure message itself. False when no thread could be made.
bool StartInstallerDownload(const PortalContext& context, StartElevatedFunction launch);

// The download starter Run uses.
class InstallerDownloadStarter final : public DownloadStarter {
 public:
  explicit InstallerDownloadStarter(StartElevatedFunction launch) : launch_(launch) {}
  bool StartDownload(const PortalContext& context) override { return StartInstallerDownload(context, launch_); }

 private:
  StartElevatedFunction launch_;
};

}  // namespace vorlane
