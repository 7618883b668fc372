#include "launch/download/transfer_bounds.h"

#include <algorithm>

namespace vorlane {

using std::chrono::milliseconds;

TransferBounds::TransferBounds(TransferClock& clock, milliseconds deadline, milliseconds stall)
    : clock_(clock), stall_(std::max(stall, milliseconds::zero())) {
  TransferTime now = clock_.Now();
  deadline_ = now + std::max(deadline, milliseconds::zero());
  lastProgress_ = now;
}

milliseconds TransferBounds::NextWait() {
  TransferTime now = clock_.Now();
  TransferTime until = std::min(deadline_, lastProgress_ + stall_);
  if (now >= until) return milliseconds::zero();
  // Rounded up, so a wait never ends just short of its bound and spins.
  return std::chrono::ceil<milliseconds>(until - now);
}

void TransferBounds::Progress() { lastProgress_ = clock_.Now(); }

}  // namespace vorlane
