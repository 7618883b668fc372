#include "bridge/win32/win32_bridge_members.h"

#include "certlogin/win32/platform_certificate_login.h"
#include "identity/hard_info.h"
#include "identity/win32/com_wmi_port.h"
#include "launch/download/win32/installer_download_thread.h"
#include "launch/portal/run_launch_road.h"
#include "launch/process/close_client.h"
#include "launch/process/start_elevated.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/reset_url.h"
#include "launch/process/win32/win32_process_port.h"
#include "policy/win32/registry_machine_policy.h"
#include "support/diagnostic_log.h"
#include "support/path_capacity.h"
#include "support/wide_format.h"
#include "support/win32/message_box_notice.h"
#include "support/win32/win32_program_files.h"

namespace vorlane {
namespace {

// Run's launch road starts the host's status relay.
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

Win32BridgeMembers::Win32BridgeMembers(StatusRelay& relay)
    : relay_(relay), resetUrlEvent_(CreateEventW(nullptr, TRUE, FALSE, kResetUrlEventName)) {}

void Win32BridgeMembers::TakeProperties(const BridgeProperties&) {
  // As the control's property exchange: the client log, unless it is open.
  char16_t path[kPathCapacity];
  FormatWide(path, kPathCapacity, u"%s", kClientLogPath);
  OpenLog(path);
}

bool Win32BridgeMembers::Run(Page& page, CookieStore& cookies, std::uint16_t type) {
  portal_.type = PortalType(type);
  const MachinePolicy machine = ReadMachinePolicy();
  if (portal_.type.TakesCertificateLogin()) {
    // One page per host, so the page's type is also the process's.
    CertificateLoginWithPlatform(&page, portal_.type, cookies, LoginOptions{machine.verifyGateway});
    return false;
  }
  Win32ProgramFiles updater;
  FunctionLauncher launcher(StartElevatedOnWindows);
  // The host's downloads end with its process: nothing cancels them sooner.
  InstallerDownloadStarter download(StartElevatedOnWindows, DownloadPolicyOf(machine), nullptr);
  RelayPolling status(relay_);
  MessageBoxNotice notice;
  return RunLaunchRoad(portal_, &page, {updater, launcher, download, status, notice});
}

bool Win32BridgeMembers::RunCmd(const std::u16string& command, bool wait) {
  Win32ProcessPort processes;
  return vorlane::RunCmd(processes, command.c_str(), wait);
}

void Win32BridgeMembers::Close(std::int16_t flag) {
  // Close the client, then stop the relay.
  Win32ProgramFiles programFiles;
  Win32ProcessPort processes;
  if (CloseClient(flag, programFiles, processes)) relay_.SendPageOff();
  relay_.Stop();
}

bool Win32BridgeMembers::ResetUrl() { return vorlane::ResetUrl(resetUrlEvent_.Get()); }

void Win32BridgeMembers::GetPCHardInfo(Page& page, CookieStore& cookies) {
  ComWmiPort wmi;
  vorlane::GetPCHardInfo(wmi, &page, cookies);
}

}  // namespace vorlane
