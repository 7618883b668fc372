#pragma once
// Background threads of the module.
#include <windows.h>

#include <functional>

#include "support/win32/unique_handle.h"

namespace vorlane {

enum class ThreadStart {
  Running,
  Held,  // waits for ResumeThread
};

// Starts a thread that runs `body` while the module counts as in use
// (DllCanUnloadNow says S_FALSE) and stays mapped until the thread's last
// instruction. Everything `body` holds is destroyed on the thread before the
// module is given up; what it throws ends the thread (exit code
// kThreadBodyThrew), never the process. Returns the owner of the thread's
// handle, empty when no thread could be made.
UniqueHandle StartPinnedThread(std::function<unsigned()> body, ThreadStart start = ThreadStart::Running);

constexpr unsigned kThreadBodyThrew = static_cast<unsigned>(-1);

}  // namespace vorlane
