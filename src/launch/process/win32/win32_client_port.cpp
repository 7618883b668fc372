#include "launch/process/win32/win32_client_port.h"

#include "status/win32/win32_poller_thread.h"

namespace vorlane {

void Win32ClientPort::SendPageOff() { vorlane::SendPageOff(); }

}  // namespace vorlane
