#include "status/win32/win32_poller_thread.h"

#include <windows.h>
#include <process.h>

#include "com/module_lock.h"
#include "com/win32/module_pin.h"
#include "status/status_poller.h"
#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_status_sockets.h"

namespace vorlane {
namespace {

constexpr char kPageOff[] = "pageOff";  // sent with its NUL: 8 bytes

void CALLBACK DoNothing(ULONG_PTR) {}

// What the thread owns while it runs. The loader reference keeps the code
// mapped until FreeLibraryAndExitThread, after the module count has dropped.
struct PollerLaunch {
  std::shared_ptr<PollerState> state;
  PollerRun run;
  ModuleReference inUse;
  ModulePin pin;
};

unsigned __stdcall PollerEntry(void* argument) {
  std::unique_ptr<PollerLaunch> launch(static_cast<PollerLaunch*>(argument));
  Win32StatusSockets sockets;
  Win32PollerPauses pauses;
  Win32WindowNotifier notifier;
  StatusChannel& channel = StatusChannel::Process();
  int code = StatusPoller({sockets, pauses, notifier}, launch->state, channel, launch->run).Run();
  channel.EndRun(launch->run);
  HMODULE pinned = launch->pin.Take();
  launch.reset();  // the module may count as unused from here on
  ModulePin::ExitThreadAndUnpin(pinned, static_cast<DWORD>(code));
  return static_cast<unsigned>(code);
}

}  // namespace

Win32PollerThread::~Win32PollerThread() { CloseHandle(handle_); }

void Win32PollerThread::Wake() { QueueUserAPC(&DoNothing, handle_, 0); }

std::unique_ptr<Win32PollerThread> StartStatusPoller(const std::shared_ptr<PollerState>& state) {
  StatusChannel& channel = StatusChannel::Process();
  PollerRun run = channel.BeginRun();
  auto launch = std::unique_ptr<PollerLaunch>(new PollerLaunch{state, run, {}, {}});
  auto thread =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &PollerEntry, launch.get(), 0, nullptr));
  if (thread == nullptr) return nullptr;
  launch.release();  // the thread owns it now
  HANDLE second = nullptr;
  if (DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &second, 0, FALSE,
                      DUPLICATE_SAME_ACCESS))
    channel.AttachThread(run, std::make_unique<Win32PollerThread>(second));
  return std::make_unique<Win32PollerThread>(thread);
}

void SendPageOff() {
  Win32StatusSockets sockets;
  StatusChannel::Process().SendOnStatusSocket(sockets, kPageOff, sizeof kPageOff);
}

}  // namespace vorlane
