#pragma once
// What a status poller reads from the control that started it. The control
// and each of its pollers share it, so a poller never reads a control that
// has gone away.
#include <atomic>
#include <cstdint>

namespace vorlane {

// A window handle as a number (HWND on Windows); 0 while there is no window.
using WindowHandle = std::uintptr_t;

struct PollerState {
  // Nonzero while polling is wanted: set before a poller starts, cleared to
  // stop it.
  std::atomic<int> keepPolling{1};
  // The control's window, which receives the notifications; the control keeps
  // it current as its window comes and goes.
  std::atomic<WindowHandle> window{0};
};

}  // namespace vorlane
