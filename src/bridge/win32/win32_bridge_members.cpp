#include "bridge/win32/win32_bridge_members.h"

#include "certlogin/win32/platform_certificate_login.h"
#include "identity/hard_info.h"
#include "identity/win32/com_wmi_port.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/reset_url.h"
#include "launch/process/win32/win32_process_port.h"
#include "policy/win32/registry_machine_policy.h"
#include "support/diagnostic_log.h"
#include "support/path_capacity.h"
#include "support/wide_format.h"
#include "wiring/win32/windows_roads.h"

namespace vorlane {

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
  // The host's downloads end with its process: nothing cancels them sooner.
  return RunLaunchRoadOnWindows(portal_, &page, machine, relay_, nullptr);
}

bool Win32BridgeMembers::RunCmd(const std::u16string& command, bool wait) {
  Win32ProcessPort processes;
  return vorlane::RunCmd(processes, command.c_str(), wait);
}

void Win32BridgeMembers::Close(std::int16_t flag) { CloseClientThenRelay(flag, relay_); }

bool Win32BridgeMembers::ResetUrl() { return vorlane::ResetUrl(resetUrlEvent_.Get()); }

void Win32BridgeMembers::GetPCHardInfo(Page& page, CookieStore& cookies) {
  ComWmiPort wmi;
  vorlane::GetPCHardInfo(wmi, &page, cookies);
}

}  // namespace vorlane
