// The bodies of the dispatch members, each wiring its subsystem to the
// Windows adapters of that subsystem's ports.
#include "control/identifiers.h"
#include "control/win32/vorlane_ctrl.h"
#include "identity/hard_info.h"
#include "identity/win32/com_wmi_port.h"
#include "certlogin/win32/platform_certificate_login.h"
#include "control/process_wide_type.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/reset_url.h"
#include "launch/process/win32/win32_process_port.h"
#include "page/win32/html_page.h"
#include "policy/win32/registry_machine_policy.h"
#include "support/win32/module_instance.h"
#include "support/win32/wide_text.h"
#include "support/win32/wininet_cookie_store.h"
#include "wiring/win32/windows_roads.h"

namespace vorlane {
namespace {

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void CVorlaneCtrl::AboutBox() {
  DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(kAboutDialogId), nullptr, AboutBoxProc, 0);
}

std::int32_t CVorlaneCtrl::Run(IDispatch* window) {
  portal_.type = properties_.TypeForUsers();
  std::unique_ptr<Page> page = OpenHtmlPage(window, HtmlObject::kWindow);
  const MachinePolicy machine = ReadMachinePolicy();
  if (portal_.type.TakesCertificateLogin()) {
    // This control's own type picks the road; the login itself follows the
    // process-wide type, which the control whose properties were exchanged
    // last has published. With two controls of different types in one
    // process that is the other control's, as the portal has always had it.
    CertificateLoginWithPlatform(page.get(), ProcessWideType(), LoginOptions{machine.verifyGateway});
    return 0;
  }
  return RunLaunchRoadOnWindows(portal_, page.get(), machine, statusRelay_, downloadCancel_);
}

void CVorlaneCtrl::Close(std::int16_t flag) { CloseClientThenRelay(flag, statusRelay_); }

std::int32_t CVorlaneCtrl::RunCmd(BSTR commandLine, bool wait) {
  Win32ProcessPort processes;
  return vorlane::RunCmd(processes, commandLine ? AsUtf16(commandLine) : u"", wait);
}

std::int32_t CVorlaneCtrl::ResetUrl() { return vorlane::ResetUrl(resetUrlEvent_.Get()); }

void CVorlaneCtrl::GetPCHardInfo(IDispatch* location) {
  ComWmiPort wmi;
  std::unique_ptr<Page> page = OpenHtmlPage(location, HtmlObject::kLocation);
  WinInetCookieStore cookies;
  vorlane::GetPCHardInfo(wmi, page.get(), cookies);
}

}  // namespace vorlane
