#include "support/win32/pinned_thread.h"

#include <process.h>

#include <memory>

#include "support/win32/entry_boundaries.h"
#include "support/win32/module_lock.h"
#include "support/win32/module_pin.h"

namespace vorlane {
namespace {

// What the thread owns while it runs. The loader reference keeps the code
// mapped until FreeLibraryAndExitThread, after the module count has dropped.
struct PinnedLaunch {
  std::function<unsigned()> body;
  ModuleReference inUse;
  ModulePin pin;
};

unsigned __stdcall PinnedEntry(void* argument) {
  std::unique_ptr<PinnedLaunch> launch(static_cast<PinnedLaunch*>(argument));
  unsigned code = ThreadBodyBoundary(kThreadBodyThrew, [&] { return launch->body(); });
  // What the body holds goes first, while the module still counts as in use.
  launch->body = nullptr;
  HMODULE pinned = launch->pin.Take();
  launch.reset();  // the module may count as unused from here on
  ModulePin::ExitThreadAndUnpin(pinned, static_cast<DWORD>(code));
  return code;
}

}  // namespace

UniqueHandle StartPinnedThread(std::function<unsigned()> body, ThreadStart start) {
  auto launch = std::unique_ptr<PinnedLaunch>(new PinnedLaunch{std::move(body), {}, {}});
  unsigned flags = start == ThreadStart::Held ? CREATE_SUSPENDED : 0;
  auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &PinnedEntry, launch.get(), flags, nullptr));
  if (thread != nullptr) launch.release();  // the thread owns it now
  return UniqueHandle(thread);
}

}  // namespace vorlane
