#include "launch/download/win32/installer_download_thread.h"

#include <windows.h>

#include "launch/download/download_installer.h"
#include "launch/download/win32/wininet_port.h"
#include "support/win32/message_box_notice.h"
#include "support/diagnostic_log.h"
#include "support/win32/pinned_thread.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

class SystemTemporaryFolder final : public DownloadEnvironment {
 public:
  std::u16string TemporaryFolder() override {
    wchar_t folder[kPathCapacity] = {};
    DWORD length = GetTempPathW(kPathCapacity, folder);
    if (length == 0 || length >= kPathCapacity) return {};
    return AsUtf16(folder);
  }
};

unsigned RunDownload(const PortalContext& context, StartElevatedFunction launch) {
  WinInetPort internet;
  Win32FilePort files;
  SystemTemporaryFolder folder;
  FunctionLauncher launcher(launch);
  MessageBoxNotice notice;
  DownloadInstaller(context, {internet, files, folder, launcher, notice});
  return 0;
}

}  // namespace

bool StartInstallerDownload(const PortalContext& context, StartElevatedFunction launch) {
  // The thread owns its own copy of the context: the page may be gone first.
  HANDLE thread = StartPinnedThread([context, launch] { return RunDownload(context, launch); });
  if (thread == nullptr) return false;
  CloseHandle(thread);
  return true;
}

}  // namespace vorlane
