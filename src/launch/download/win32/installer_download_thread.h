#pragma once
// Starts the installer download on a detached thread of its own.
#include <memory>

#include "launch/download/download_policy.h"
#include "launch/download/win32/cancel_signal.h"
#include "launch/portal/launch_road_ports.h"
#include "launch/portal/portal_context.h"

namespace vorlane {

// The thread works on its own copies of context and policy, so a later Run
// or a destroyed control cannot change what it reads, and holds the module
// while it runs. It shows the failure message itself; once cancel is set it
// stops without a word. False when no thread could be made.
bool StartInstallerDownload(const PortalContext& context, const DownloadPolicy& policy,
                            StartElevatedFunction launch, std::shared_ptr<CancelSignal> cancel = nullptr);

// The download starter Run uses.
class InstallerDownloadStarter final : public DownloadStarter {
 public:
  explicit InstallerDownloadStarter(StartElevatedFunction launch, DownloadPolicy policy = {},
                                    std::shared_ptr<CancelSignal> cancel = nullptr)
      : launch_(launch), policy_(std::move(policy)), cancel_(std::move(cancel)) {}
  bool StartDownload(const PortalContext& context) override {
    return StartInstallerDownload(context, policy_, launch_, cancel_);
  }

 private:
  StartElevatedFunction launch_;
  DownloadPolicy policy_;
  std::shared_ptr<CancelSignal> cancel_;
};

}  // namespace vorlane
