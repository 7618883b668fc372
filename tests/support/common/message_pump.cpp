#include "common/message_pump.h"

namespace vorlane::tests {

void PumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpUntil(HANDLE handle, DWORD timeout) {
  const ULONGLONG end = GetTickCount64() + timeout;
  for (;;) {
    PumpPending();
    ULONGLONG now = GetTickCount64();
    if (now >= end) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    DWORD result = MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr,
                                               static_cast<DWORD>(end - now), QS_ALLINPUT,
                                               MWMO_INPUTAVAILABLE);
    if (handle && result == WAIT_OBJECT_0) {
      PumpPending();
      return true;
    }
  }
}

void PumpFor(DWORD milliseconds) { PumpUntil(nullptr, milliseconds); }

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit, std::chrono::milliseconds pace) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return done();
    auto wait = std::min(pace, std::chrono::duration_cast<std::chrono::milliseconds>(end - now));
    PumpFor(static_cast<DWORD>(wait.count()));
  }
  return true;
}

}  // namespace vorlane::tests
