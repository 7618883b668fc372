#pragma once
#include "launch/process/process_port.h"

namespace vorlane {

// Windows from this major version on asks the user for elevation.
constexpr unsigned kFirstElevatingWindows = 6;

// Starts `path` with `parameters` (null counts as empty): elevated from
// Windows Vista on, plainly as "path parameters" before. Never waits.
// Returns 1 when the program was started, 0 otherwise.
int StartElevated(ProcessPort& processes, const char16_t* path, const char16_t* parameters);

}  // namespace vorlane
