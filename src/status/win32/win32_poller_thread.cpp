#include "status/win32/win32_poller_thread.h"

#include <windows.h>

#include "status/status_poller.h"
#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_status_sockets.h"
#include "support/win32/pinned_thread.h"

namespace vorlane {
namespace {

constexpr char kPageOff[] = "pageOff";  // sent with its NUL: 8 bytes

void CALLBACK DoNothing(ULONG_PTR) {}

unsigned RunPoller(const std::shared_ptr<PollerState>& state, PollerRun run) {
  Win32StatusSockets sockets;
  Win32PollerPauses pauses;
  Win32WindowNotifier notifier;
  StatusChannel& channel = StatusChannel::Process();
  int code = StatusPoller({sockets, pauses, notifier}, state, channel, run).Run();
  channel.EndRun(run);
  return static_cast<unsigned>(code);
}

}  // namespace

Win32PollerThread::~Win32PollerThread() { CloseHandle(handle_); }

void Win32PollerThread::Wake() { QueueUserAPC(&DoNothing, handle_, 0); }

std::unique_ptr<Win32PollerThread> StartStatusPoller(const std::shared_ptr<PollerState>& state) {
  StatusChannel& channel = StatusChannel::Process();
  PollerRun run = channel.BeginRun();
  HANDLE thread = StartPinnedThread([state, run] { return RunPoller(state, run); });
  if (thread == nullptr) return nullptr;
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
