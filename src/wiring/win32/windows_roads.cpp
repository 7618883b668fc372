#include "wiring/win32/windows_roads.h"

#include <chrono>

#include "launch/download/win32/installer_download_thread.h"
#include "launch/portal/run_launch_road.h"
#include "launch/process/close_client.h"
#include "launch/process/start_elevated.h"
#include "launch/process/win32/win32_process_port.h"
#include "support/win32/message_box_notice.h"
#include "support/win32/win32_program_files.h"

namespace vorlane {
namespace {

// The launch road starts the face's status relay.
class RelayPolling final : public StatusPolling {
 public:
  explicit RelayPolling(StatusRelay& relay) : relay_(relay) {}
  void StartPolling() override { relay_.Start(); }

 private:
  StatusRelay& relay_;
};

// What the administrator's machine policy asks of one installer download.
DownloadPolicy DownloadPolicyOf(const MachinePolicy& machine) {
  DownloadPolicy policy;
  policy.verifyGateway = machine.verifyGateway;
  policy.installerPublisher = machine.installerPublisher;
  policy.deadline = std::chrono::seconds(machine.downloadDeadlineSeconds);
  policy.stall = std::chrono::seconds(machine.downloadStallSeconds);
  return policy;
}

int StartElevatedOnWindows(const char16_t* path, const char16_t* parameters) {
  Win32ProcessPort processes;
  return StartElevated(processes, path, parameters);
}

}  // namespace

bool RunLaunchRoadOnWindows(PortalContext& portal, Page* page, const MachinePolicy& machine, StatusRelay& relay,
                            std::shared_ptr<CancelSignal> downloadCancel) {
  Win32ProgramFiles updater;
  FunctionLauncher launcher(StartElevatedOnWindows);
  InstallerDownloadStarter download(StartElevatedOnWindows, DownloadPolicyOf(machine), std::move(downloadCancel));
  RelayPolling status(relay);
  MessageBoxNotice notice;
  return RunLaunchRoad(portal, page, {updater, launcher, download, status, notice});
}

void CloseClientThenRelay(std::int16_t flag, StatusRelay& relay) {
  Win32ProgramFiles programFiles;
  Win32ProcessPort processes;
  if (CloseClient(flag, programFiles, processes)) relay.SendPageOff();
  relay.Stop();
}

}  // namespace vorlane
