#pragma once
// The IObjectSafety answers of the control: safe for untrusted callers (1) and
// untrusted data (2), always.
#include <cstdint>

namespace vorlane {

constexpr std::uint32_t kSafetyOptionsSupported = 3;

// A caller may ask for either or both options to be on, never for one to be
// off, and never for options we do not know; bits of enabled outside mask are
// ignored.
constexpr bool AcceptsSafetyOptions(std::uint32_t mask, std::uint32_t enabled) {
  return (mask & enabled & kSafetyOptionsSupported) == mask;
}

}  // namespace vorlane
