#include "bridge/win32/bridge_relay.h"

#include "status/poller_control.h"
#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_poller_thread.h"

namespace vorlane {

void BridgeRelay::Start() {
  Win32PollerStarter starter;
  Win32WindowNotifier notifier;
  StartPollerForRun(state_, thread_, starter, notifier);
}

void BridgeRelay::Stop() { StopPoller(*state_, thread_); }

}  // namespace vorlane
