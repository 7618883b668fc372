#pragma once
// The handles this process has open, counted where GetProcessHandleCount
// cannot be relied on (Wine answers it with 0).
#include <windows.h>

#include <vector>

namespace vorlane::tests {

// Every open handle value of this process, lowest first.
std::vector<ULONG_PTR> OpenHandleValues();

}  // namespace vorlane::tests
