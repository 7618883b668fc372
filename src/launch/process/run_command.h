#pragma once
#include "launch/process/process_port.h"

namespace vorlane {

// Starts the page's command line (null counts as empty) without elevation,
// whole however long it is; with `waitUntilEnded` returns only after the
// process has ended. True when the process was created.
bool RunCmd(ProcessPort& processes, const char16_t* command, bool waitUntilEnded);

}  // namespace vorlane
