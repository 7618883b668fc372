// The bodies of the dispatch members.
#include "control/identifiers.h"
#include "control/win32/vorlane_ctrl.h"
#include "launch/download/win32/installer_download_thread.h"
#include "launch/portal/run_launch_road.h"
#include "launch/portal/win32/html_page.h"
#include "launch/portal/win32/message_box_notice.h"
#include "launch/portal/win32/program_files_updater_locator.h"
#include "launch/process/win32/process_control.h"
#include "status/poller_control.h"
#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_poller_thread.h"
#include "support/win32/module_instance.h"

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

// Types 2 and more take the certificate login, which this build does not
// have yet: Run answers false without doing anything.
class NoCertificateLogin final : public CertificateLoginStarter {
 public:
  void LogIn() override {}
};

}  // namespace

void CVorlaneCtrl::AboutBox() {
  DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(kAboutDialogId), nullptr, AboutBoxProc, 0);
}

std::int32_t CVorlaneCtrl::Run(IDispatch* window) {
  portal_.type = properties_.TypeForUsers();
  std::unique_ptr<PagePort> page = OpenHtmlPage(window);
  ProgramFilesUpdaterLocator updater;
  FunctionLauncher launcher(ElevatedLauncher);
  InstallerDownloadStarter download(ElevatedLauncher);
  ControlStatusRelay status(*this);
  MessageBoxNotice notice;
  NoCertificateLogin certificateLogin;
  return RunLaunchRoad(portal_, page.get(), {updater, launcher, download, status, notice, certificateLogin});
}

void CVorlaneCtrl::Close(std::int16_t flag) { CloseClient(flag, *pollerState_, pollerThread_); }

std::int32_t CVorlaneCtrl::RunCmd(BSTR commandLine, bool wait) {
  return vorlane::RunCmd(commandLine ? reinterpret_cast<const char16_t*>(commandLine) : u"", wait);
}

std::int32_t CVorlaneCtrl::ResetUrl() { return vorlane::ResetUrl(resetUrlEvent_.Get()); }

// The MAC probe and verify redirect are wired in later.
void CVorlaneCtrl::GetPCHardInfo(IDispatch*) {}

}  // namespace vorlane
