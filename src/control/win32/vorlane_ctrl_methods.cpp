// The bodies of the dispatch members, each wiring its subsystem to the
// Windows adapters of that subsystem's ports.
#include "control/identifiers.h"
#include "control/win32/vorlane_ctrl.h"
#include "identity/hard_info.h"
#include "identity/win32/com_wmi_port.h"
#include "identity/win32/html_location.h"
#include "certlogin/win32/window_certificate_login.h"
#include "control/process_wide_type.h"
#include "launch/download/win32/installer_download_thread.h"
#include "launch/download/win32/machine_download_bounds.h"
#include "launch/portal/run_launch_road.h"
#include "launch/portal/win32/html_page.h"
#include "launch/portal/win32/message_box_notice.h"
#include "launch/process/close_client.h"
#include "launch/process/elevated_launcher.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/reset_url.h"
#include "launch/process/win32/win32_client_port.h"
#include "launch/process/win32/win32_process_port.h"
#include "status/poller_control.h"
#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_poller_thread.h"
#include "support/win32/module_instance.h"
#include "support/win32/wide_text.h"
#include "support/win32/win32_program_files.h"
#include "support/win32/wininet_cookie_store.h"

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

// Run's status relay: the control's own poller state and thread slot.
class ControlStatusRelay final : public StatusRelay {
 public:
  explicit ControlStatusRelay(CVorlaneCtrl& control) : control_(control) {}
  void StartPolling() override {
    Win32PollerStarter starter;
    Win32WindowNotifier notifier;
    StartPollerForRun(control_.SharedPollerState(), control_.PollerThread(), starter, notifier);
  }

 private:
  CVorlaneCtrl& control_;
};

// The elevated launcher as Run and the download thread start programs.
int LaunchElevated(const char16_t* path, const char16_t* parameters) {
  Win32ProcessPort processes;
  return ElevatedLauncher(processes, path, parameters);
}

// Types 2 and more: the certificate login with the page's window, in the
// language of the process-wide type (the last control loaded sets it).
class WindowCertificateLogin final : public CertificateLoginStarter {
 public:
  explicit WindowCertificateLogin(IDispatch* window) : window_(window) {}
  void LogIn() override { CertificateLoginWithWindow(window_, ProcessWideType()); }

 private:
  IDispatch* window_;
};

}  // namespace

void CVorlaneCtrl::AboutBox() {
  DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(kAboutDialogId), nullptr, AboutBoxProc, 0);
}

std::int32_t CVorlaneCtrl::Run(IDispatch* window) {
  portal_.type = properties_.TypeForUsers();
  std::unique_ptr<PagePort> page = OpenHtmlPage(window);
  Win32ProgramFiles updater;
  FunctionLauncher launcher(LaunchElevated);
  InstallerDownloadStarter download(LaunchElevated, WithMachineDownloadBounds(DownloadPolicy{}), downloadCancel_);
  ControlStatusRelay status(*this);
  MessageBoxNotice notice;
  WindowCertificateLogin certificateLogin(window);
  return RunLaunchRoad(portal_, page.get(), {updater, launcher, download, status, notice, certificateLogin});
}

void CVorlaneCtrl::Close(std::int16_t flag) {
  Win32ProgramFiles programFiles;
  Win32ClientPort client;
  Win32ProcessPort processes;
  CloseClient(flag, programFiles, client, processes, *pollerState_, pollerThread_);
}

std::int32_t CVorlaneCtrl::RunCmd(BSTR commandLine, bool wait) {
  Win32ProcessPort processes;
  return vorlane::RunCmd(processes, commandLine ? AsUtf16(commandLine) : u"", wait);
}

std::int32_t CVorlaneCtrl::ResetUrl() { return vorlane::ResetUrl(resetUrlEvent_.Get()); }

void CVorlaneCtrl::GetPCHardInfo(IDispatch* location) {
  ComWmiPort wmi;
  std::unique_ptr<PageLocation> page = OpenHtmlLocation(location);
  WinInetCookieStore cookies;
  vorlane::GetPCHardInfo(wmi, page.get(), cookies);
}

}  // namespace vorlane
