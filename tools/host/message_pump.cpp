#include "message_pump.h"

namespace vorlane::host {

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

}  // namespace vorlane::host
