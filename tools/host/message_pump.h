#pragma once
// The UI thread's message loop between the host's steps: sent messages from
// other threads (the control's WM_USER+1) are delivered only while it pumps.
#include <windows.h>

#include "support/win32/unique_handle.h"

namespace vorlane::host {

// Dispatches everything waiting for this thread.
void PumpPending();
// Pumps for `milliseconds`.
void PumpFor(DWORD milliseconds);
// Pumps until `handle` is signalled; false when `timeout` ran out first.
bool PumpUntil(HANDLE handle, DWORD timeout);

}  // namespace vorlane::host
