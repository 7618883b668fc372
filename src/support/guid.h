#pragma once
// A GUID as portable code holds it.
#include <cstdint>

namespace vorlane {

// Same layout as the Windows GUID, so adapters can reinterpret it.
struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
  friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

}  // namespace vorlane
