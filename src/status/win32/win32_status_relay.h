#pragma once
// The status relay's ports on Windows: poller threads, WM_USER+1 to the
// window, the status socket through Winsock, UTF-8 through the code page
// functions.
#include "status/status_relay.h"

namespace vorlane {

// Adapters without state of their own, shared by every relay of the process.
StatusRelayPorts Win32StatusRelayPorts();

}  // namespace vorlane
