#include "launch/process/win32/process_control.h"

#include <windows.h>

#include "launch/process/close_client.h"
#include "launch/process/elevated_launcher.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/win32_client_port.h"
#include "launch/process/win32/win32_process_port.h"

namespace vorlane {

int ElevatedLauncher(const char16_t* path, const char16_t* parameters) {
  Win32ProcessPort processes;
  return ElevatedLauncher(processes, path, parameters);
}

bool RunCmd(const char16_t* command, bool waitUntilEnded) {
  Win32ProcessPort processes;
  return RunCmd(processes, command, waitUntilEnded);
}

void CloseClient(std::int16_t flag, PollerState& state, PollerThreadSlot& poller) {
  Win32ClientPort client;
  Win32ProcessPort processes;
  CloseClient(flag, client, processes, state, poller);
}

bool ResetUrl(void* resetEvent) {
  if (resetEvent == nullptr || WaitForSingleObject(resetEvent, 0) != WAIT_OBJECT_0) return false;
  ResetEvent(resetEvent);
  return true;
}

}  // namespace vorlane
