#pragma once
// Background threads of the module.
#include <windows.h>

#include <functional>

namespace vorlane {

enum class ThreadStart {
  Running,
  Held,  // waits for ResumeThread
};

// Starts a thread that runs `body` while the module counts as in use
// (DllCanUnloadNow says S_FALSE) and stays mapped until the thread's last
// instruction. Everything `body` holds is destroyed on the thread before the
// module is given up; what it throws ends the thread (exit code
// kThreadBodyThrew), never the process. Returns the thread's handle, which
// the caller closes, or null when no thread could be made.
HANDLE StartPinnedThread(std::function<unsigned()> body, ThreadStart start = ThreadStart::Running);

constexpr unsigned kThreadBodyThrew = static_cast<unsigned>(-1);

}  // namespace vorlane
