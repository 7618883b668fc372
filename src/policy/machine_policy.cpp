#include "policy/machine_policy.h"

namespace vorlane {

unsigned SecondsWithin(std::optional<unsigned long long> value, unsigned fallback, unsigned low, unsigned high) {
  if (!value) return fallback;
  if (*value < low) return low;
  if (*value > high) return high;
  return static_cast<unsigned>(*value);
}

}  // namespace vorlane
