#include "launch/process/run_command.h"

namespace vorlane {

bool RunCmd(ProcessPort& processes, const char16_t* command, bool waitUntilEnded) {
  return processes.StartProcess(command ? command : u"", waitUntilEnded);
}

}  // namespace vorlane
