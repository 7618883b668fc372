#include "launch/download/win32/installer_download_thread.h"

#include <windows.h>
#include <process.h>

#include <memory>

#include "com/module_lock.h"
#include "com/win32/module_pin.h"
#include "launch/download/download_installer.h"
#include "launch/download/win32/wininet_port.h"
#include "launch/portal/win32/message_box_notice.h"
#include "support/diagnostic_log.h"

namespace vorlane {
namespace {

class SystemTemporaryFolder final : public DownloadEnvironment {
 public:
  std::u16string TemporaryFolder() override {
    wchar_t folder[kPathCapacity] = {};
    DWORD length = GetTempPathW(kPathCapacity, folder);
    if (length == 0 || length >= kPathCapacity) return {};
    return reinterpret_cast<const char16_t*>(folder);
  }
};

struct DownloadJob {
  PortalContext context;
  ElevatedLaunchFunction launch;
  ModuleReference module;
  ModulePin pin;
};

unsigned __stdcall RunDownload(void* argument) {
  std::unique_ptr<DownloadJob> job(static_cast<DownloadJob*>(argument));
  WinInetPort internet;
  Win32FilePort files;
  SystemTemporaryFolder folder;
  FunctionLauncher launcher(job->launch);
  MessageBoxNotice notice;
  DownloadInstaller(job->context, {internet, files, folder, launcher, notice});
  HMODULE pinned = job->pin.Take();
  job.reset();  // the module may count as unused from here on
  ModulePin::ExitThreadAndUnpin(pinned, 0);
  return 0;
}

}  // namespace

bool StartInstallerDownload(const PortalContext& context, ElevatedLaunchFunction launch) {
  auto job = std::make_unique<DownloadJob>(DownloadJob{context, launch, {}, {}});
  uintptr_t thread = _beginthreadex(nullptr, 0, RunDownload, job.get(), 0, nullptr);
  if (thread == 0) return false;
  job.release();
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

}  // namespace vorlane
