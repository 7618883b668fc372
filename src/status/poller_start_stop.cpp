#include "status/poller_start_stop.h"

#include "status/status_poller.h"
#include "support/diagnostic_log.h"

namespace vorlane {

bool StartPollerForRun(const std::shared_ptr<PollerState>& state, PollerThreadSlot& slot,
                       PollerStarter& starter, NotifyPort& notify) {
  state->keepPolling.store(1);
  for (int attempt = 0; attempt < kPollerStartAttempts; ++attempt) {
    slot = starter.Start(state);
    if (slot) return true;
  }
  LogError(u"_beginthreadex failed!");
  notify.Notify(state->window.load(), kConnectedText);
  return false;
}

void StopPoller(PollerState& state, PollerThreadSlot& slot) {
  if (!slot) return;
  // Cleared before the wake-up, so the woken poller finds it cleared.
  state.keepPolling.store(0);
  slot->Wake();
  slot.reset();
}

}  // namespace vorlane
