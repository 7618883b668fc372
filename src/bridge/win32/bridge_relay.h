#pragma once
// The host's status relay: one poller state and thread slot for the page
// connection, whose notifications go to the host's own window.
#include <memory>

#include "status/poller_state.h"
#include "status/poller_thread.h"

namespace vorlane {

class BridgeRelay {
 public:
  explicit BridgeRelay(WindowHandle window) { state_->window = window; }
  ~BridgeRelay() { Stop(); }
  BridgeRelay(const BridgeRelay&) = delete;
  BridgeRelay& operator=(const BridgeRelay&) = delete;

  // As Run does: sets the flag and starts a poller; "Connected" when none starts.
  void Start();
  // As the control's destruction does: flag cleared, poller woken, not waited for.
  void Stop();

  PollerState& State() { return *state_; }
  PollerThreadSlot& Thread() { return thread_; }

 private:
  std::shared_ptr<PollerState> state_ = std::make_shared<PollerState>();
  PollerThreadSlot thread_;
};

}  // namespace vorlane
