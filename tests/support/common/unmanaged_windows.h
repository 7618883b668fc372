#pragma once
// Top-level windows that Wine's X11 driver does not hand to a window manager.
namespace vorlane::tests {

// Under Wine, a top-level window handed to a window manager waits up to 2 s,
// when it is hidden or destroyed, for a window manager that Xvfb does not
// have: every message box and container window would cost 2 s. The driver
// reads this setting when it loads, with the process's first window, so call
// this before any window is made. True under Wine once the setting is
// written; elsewhere nothing reads it and the answer is false.
bool LeaveWindowsUnmanagedUnderWine();

}  // namespace vorlane::tests
