#include "launch/process/start_elevated.h"

namespace vorlane {

int StartElevated(ProcessPort& processes, const char16_t* path, const char16_t* parameters) {
  if (parameters == nullptr) parameters = u"";
  if (processes.WindowsMajorVersion() >= kFirstElevatingWindows)
    return processes.RunAs(path, parameters) ? 1 : 0;
  // The path goes unquoted, as the programs started this way expect; the
  // command line is passed whole however long it is.
  std::u16string commandLine = path;
  commandLine += u' ';
  commandLine += parameters;
  return processes.StartProcess(std::move(commandLine), false) ? 1 : 0;
}

}  // namespace vorlane
