#pragma once
// Entry points the platform calls that have no way to report an error: a
// window's message and a background thread's body. Nothing thrown may unwind
// into the platform's frames, so what a body throws ends here, in one place.
#include <windows.h>

namespace vorlane {

// Runs a window message's handler; what it throws (out of memory while firing
// an event, say) loses that message and answers 0, the window stays.
template <typename Handler>
LRESULT WindowMessageBoundary(Handler&& handler) noexcept {
  try {
    return handler();
  } catch (...) {
    return 0;
  }
}

// Runs a thread's body; what it throws loses that thread's work and gives
// `thrown` as its exit code, never ends the process.
template <typename Body>
unsigned ThreadBodyBoundary(unsigned thrown, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return thrown;
  }
}

}  // namespace vorlane
