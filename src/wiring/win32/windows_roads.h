#pragma once
// The roads the control and the native host take the same way on Windows.
#include <cstdint>
#include <memory>

#include "launch/download/win32/cancel_signal.h"
#include "launch/portal/portal_context.h"
#include "page/page.h"
#include "policy/machine_policy.h"
#include "status/status_relay.h"

namespace vorlane {

// Run's launch road: the installed updater or client started elevated, else
// the installer downloaded under the machine's download policy (stopped by
// `downloadCancel` when given), then the status relay started; failures
// shown in message boxes.
bool RunLaunchRoadOnWindows(PortalContext& portal, Page* page, const MachinePolicy& machine, StatusRelay& relay,
                            std::shared_ptr<CancelSignal> downloadCancel);

// Close: close the client as `flag` asks, tell it "pageOff" when it was asked
// to close, then stop the relay.
void CloseClientThenRelay(std::int16_t flag, StatusRelay& relay);

}  // namespace vorlane
