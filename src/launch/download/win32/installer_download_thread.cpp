#include "launch/download/win32/installer_download_thread.h"

#include <windows.h>

#include "launch/download/download_installer.h"
#include "launch/download/win32/authenticode_signature.h"
#include "launch/download/win32/private_installer_folders.h"
#include "launch/download/win32/wininet_port.h"
#include "support/win32/message_box_notice.h"
#include "support/win32/pinned_thread.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

class NeverCancelled final : public CancelToken {
 public:
  bool Requested() override { return false; }
};

unsigned RunDownload(const PortalContext& context, const DownloadPolicy& policy, StartElevatedFunction launch,
                     const std::shared_ptr<CancelSignal>& cancel) {
  NeverCancelled never;
  CancelToken& token = cancel ? static_cast<CancelToken&>(*cancel) : never;
  WinInetPort internet(cancel ? cancel->Event() : nullptr);
  Win32FilePort files;
  PrivateInstallerFolders folders;
  FunctionLauncher launcher(launch);
  MessageBoxNotice notice;
  SteadyTransferClock clock;
  AuthenticodeSignatures signatures;
  DownloadInstaller(context, policy, {internet, files, folders, launcher, notice, clock, signatures, token});
  return 0;
}

}  // namespace

bool StartInstallerDownload(const PortalContext& context, const DownloadPolicy& policy,
                            StartElevatedFunction launch, std::shared_ptr<CancelSignal> cancel) {
  // Nothing keeps the handle: the thread runs detached.
  return static_cast<bool>(
      StartPinnedThread([context, policy, launch, cancel] { return RunDownload(context, policy, launch, cancel); }));
}

}  // namespace vorlane
