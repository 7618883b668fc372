#include "launch/process/win32/reset_url.h"

#include <windows.h>

namespace vorlane {

bool ResetUrl(void* resetEvent) {
  if (resetEvent == nullptr || WaitForSingleObject(resetEvent, 0) != WAIT_OBJECT_0) return false;
  ResetEvent(resetEvent);
  return true;
}

}  // namespace vorlane
