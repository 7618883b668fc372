#pragma once
// The page's process and client operations on the real system, for the
// control's dispatch methods. All run on the UI thread (the launcher also on
// the download thread) and report failure only by their result.
#include <cstdint>

#include "status/poller_state.h"
#include "status/poller_thread.h"

namespace vorlane {

int ElevatedLauncher(const char16_t* path, const char16_t* parameters);
bool RunCmd(const char16_t* command, bool waitUntilEnded);
void CloseClient(std::int16_t flag, PollerState& state, PollerThreadSlot& poller);
// True once after the named reset-URL event was signalled, which it resets;
// false when it is not signalled or `resetEvent` is null.
bool ResetUrl(void* resetEvent);

}  // namespace vorlane
