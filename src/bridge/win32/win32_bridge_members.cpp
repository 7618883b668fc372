#include "bridge/win32/win32_bridge_members.h"

#include "bridge/win32/bridge_certificate_login.h"
#include "bridge/win32/core_page_adapters.h"
#include "identity/hard_info.h"
#include "identity/win32/com_wmi_port.h"
#include "launch/download/win32/installer_download_thread.h"
#include "launch/portal/run_launch_road.h"
#include "launch/portal/win32/message_box_notice.h"
#include "launch/process/close_client.h"
#include "launch/process/elevated_launcher.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/reset_url.h"
#include "launch/process/win32/win32_client_port.h"
#include "launch/process/win32/win32_process_port.h"
#include "support/diagnostic_log.h"
#include "support/wide_format.h"
#include "support/win32/win32_program_files.h"

namespace vorlane {
namespace {

int LaunchElevated(const char16_t* path, const char16_t* parameters) {
  Win32ProcessPort processes;
  return ElevatedLauncher(processes, path, parameters);
}

class RelayStarter final : public StatusRelay {
 public:
  explicit RelayStarter(BridgeRelay& relay) : relay_(relay) {}
  void StartPolling() override { relay_.Start(); }

 private:
  BridgeRelay& relay_;
};

}  // namespace

Win32BridgeMembers::Win32BridgeMembers(BridgeRelay& relay)
    : relay_(relay), resetUrlEvent_(CreateEventW(nullptr, TRUE, FALSE, kBridgeResetUrlEventName)) {}

void Win32BridgeMembers::TakeProperties(const BridgeProperties&) {
  // As the control's property exchange: the client log, unless it is open.
  char16_t path[kPathCapacity];
  FormatWide(path, kPathCapacity, u"%s", kClientLogPath);
  OpenLog(path);
}

bool Win32BridgeMembers::Run(Page& page, CookieStore& cookies, std::uint16_t type) {
  portal_.type = type;
  PagePortOverPage launchPage(page);
  Win32ProgramFiles updater;
  FunctionLauncher launcher(LaunchElevated);
  InstallerDownloadStarter download(LaunchElevated);
  RelayStarter status(relay_);
  MessageBoxNotice notice;
  BridgeCertificateLogin certificateLogin(page, cookies, type);
  return RunLaunchRoad(portal_, &launchPage, {updater, launcher, download, status, notice, certificateLogin});
}

bool Win32BridgeMembers::RunCmd(const std::u16string& command, bool wait) {
  Win32ProcessPort processes;
  return vorlane::RunCmd(processes, command.c_str(), wait);
}

void Win32BridgeMembers::Close(std::int16_t flag) {
  Win32ProgramFiles programFiles;
  Win32ClientPort client;
  Win32ProcessPort processes;
  CloseClient(flag, programFiles, client, processes, relay_.State(), relay_.Thread());
}

bool Win32BridgeMembers::ResetUrl() { return vorlane::ResetUrl(resetUrlEvent_.Get()); }

void Win32BridgeMembers::GetPCHardInfo(Page& page, CookieStore& cookies) {
  ComWmiPort wmi;
  PageLocationOverPage location(page);
  vorlane::GetPCHardInfo(wmi, &location, cookies);
}

}  // namespace vorlane
