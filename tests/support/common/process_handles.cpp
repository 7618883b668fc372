#include "common/process_handles.h"

namespace vorlane::tests {

// Handle values are multiples of 4 and each new handle takes the lowest free
// one, so a long run of unused values means the end of the table.
std::vector<ULONG_PTR> OpenHandleValues() {
  std::vector<ULONG_PTR> open;
  int unused = 0;
  for (ULONG_PTR value = 4; unused < 4096; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      open.push_back(value);
      unused = 0;
    } else {
      ++unused;
    }
  }
  return open;
}

}  // namespace vorlane::tests
