#include "status/win32/win32_poller_thread.h"

#include <windows.h>

#include "status/status_poller.h"
#include "status/status_relay.h"
#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_status_sockets.h"
#include "support/win32/pinned_thread.h"

namespace vorlane {
namespace {

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

void Win32PollerThread::Wake() { QueueUserAPC(&DoNothing, handle_.Get(), 0); }

PollerThreadSlot Win32PollerThread::Duplicate() {
  HANDLE second = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle_.Get(), GetCurrentProcess(), &second, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return nullptr;
  return std::make_unique<Win32PollerThread>(UniqueHandle(second));
}

void Win32PollerThread::Resume() { ResumeThread(handle_.Get()); }

std::unique_ptr<Win32PollerThread> StartStatusPoller(const std::shared_ptr<PollerState>& state) {
  PollerThreadSlot started = StatusChannel::Process().StartRun([&](PollerRun run) -> std::unique_ptr<HeldPollerThread> {
    UniqueHandle thread = StartPinnedThread([state, run] { return RunPoller(state, run); }, ThreadStart::Held);
    if (!thread) return nullptr;
    return std::make_unique<Win32PollerThread>(std::move(thread));
  });
  return std::unique_ptr<Win32PollerThread>(static_cast<Win32PollerThread*>(started.release()));
}

void SendPageOff() {
  Win32StatusSockets sockets;
  SendPageOff(sockets);
}

}  // namespace vorlane
