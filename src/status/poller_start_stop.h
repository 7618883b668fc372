#pragma once
// Starting a poller for `Run` and stopping it for `Close` and the control's
// destruction. Both run on the UI thread and never wait for a poller.
#include <memory>

#include "status/poller_state.h"
#include "status/poller_thread.h"
#include "status/status_ports.h"

namespace vorlane {

constexpr int kPollerStartAttempts = 2;

class PollerStarter {
 public:
  virtual ~PollerStarter() = default;
  // Starts a poller thread that shares `state`; null when no thread could be
  // made.
  virtual PollerThreadSlot Start(const std::shared_ptr<PollerState>& state) = 0;
};

// Sets the keep-polling flag and starts a poller, at most twice, keeping each
// attempt's result in `slot`. When both fail, logs "_beginthreadex failed!"
// and tells the page "Connected". Returns whether a poller runs.
bool StartPollerForRun(const std::shared_ptr<PollerState>& state, PollerThreadSlot& slot,
                       PollerStarter& starter, NotifyPort& notify);

// When a poller is held: clears the flag, then wakes the poller, then closes
// the handle and forgets it.
void StopPoller(PollerState& state, PollerThreadSlot& slot);

}  // namespace vorlane
