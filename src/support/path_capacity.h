#pragma once
// Windows' classic path capacity, terminator included: paths the system
// builds longer than this are refused rather than cut into another name.
#include <cstddef>

namespace vorlane {

constexpr std::size_t kPathCapacity = 260;

}  // namespace vorlane
