#pragma once
// Status poller threads on Windows.
#include <memory>

#include "status/poller_start_stop.h"
#include "status/poller_thread.h"
#include "status/status_channel.h"
#include "support/win32/unique_handle.h"

namespace vorlane {

// An owned thread handle: Wake() queues an empty asynchronous procedure call,
// destruction closes the handle without waiting.
class Win32PollerThread final : public HeldPollerThread {
 public:
  explicit Win32PollerThread(UniqueHandle thread) : handle_(std::move(thread)) {}
  Win32PollerThread(const Win32PollerThread&) = delete;
  Win32PollerThread& operator=(const Win32PollerThread&) = delete;

  void Wake() override;
  PollerThreadSlot Duplicate() override;
  void Resume() override;
  void* NativeHandle() const { return handle_.Get(); }

 private:
  UniqueHandle handle_;
};

// Starts a poller thread sharing `state`; the newest run of the process, so an
// earlier poller still running is told to stop. While the thread runs the
// module counts as in use and stays loaded. Null when no thread could be made.
std::unique_ptr<Win32PollerThread> StartStatusPoller(const std::shared_ptr<PollerState>& state);

class Win32PollerStarter final : public PollerStarter {
 public:
  PollerThreadSlot Start(const std::shared_ptr<PollerState>& state) override {
    return StartStatusPoller(state);
  }
};

// Sends "pageOff" with its NUL on `StatusSocket` when one is open.
void SendPageOff();

}  // namespace vorlane
