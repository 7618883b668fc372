#pragma once
// A UI thread's message loop while it waits: messages sent from other threads
// (the control's WM_USER+1, a poller's notification) are delivered only while
// the waiting thread pumps.
#include <windows.h>

#include <chrono>
#include <functional>

namespace vorlane::tests {

// Dispatches everything waiting for this thread.
void PumpPending();
// Pumps for `milliseconds`.
void PumpFor(DWORD milliseconds);
// Pumps until `handle` is signalled; false when `timeout` ran out first.
bool PumpUntil(HANDLE handle, DWORD timeout);
// Pumps until `done` holds or `limit` has passed; answers `done()` at the end.
// `pace`: how long each pump waits for messages before `done` is asked again.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10),
               std::chrono::milliseconds pace = std::chrono::milliseconds(20));

}  // namespace vorlane::tests
