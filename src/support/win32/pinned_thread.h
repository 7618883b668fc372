#pragma once
// Background threads of the module.
#include <windows.h>

#include <functional>

namespace vorlane {

// Starts a thread that runs `body` while the module counts as in use
// (DllCanUnloadNow says S_FALSE) and stays mapped until the thread's last
// instruction. Everything `body` holds is destroyed on the thread before the
// module is given up. Returns the thread's handle, which the caller closes,
// or null when no thread could be made.
HANDLE StartPinnedThread(std::function<unsigned()> body);

}  // namespace vorlane
