// The bodies of the dispatch members.
#include "control/win32/vorlane_ctrl.h"
#include "module/identifiers.h"
#include "module/win32/module_instance.h"

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

// The launch road and the certificate login are wired in later.
std::int32_t CVorlaneCtrl::Run(IDispatch*) { return 0; }

// Stopping the client and the poller is wired in later.
void CVorlaneCtrl::Close(std::int16_t) {}

// Starting a local program is wired in later.
std::int32_t CVorlaneCtrl::RunCmd(BSTR, bool) { return 0; }

// Testing and resetting the reset-URL event is wired in later.
std::int32_t CVorlaneCtrl::ResetUrl() { return 0; }

// The MAC probe and verify redirect are wired in later.
void CVorlaneCtrl::GetPCHardInfo(IDispatch*) {}

}  // namespace vorlane
