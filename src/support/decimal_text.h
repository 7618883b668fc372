#pragma once
// Numbers as decimal text, for command lines and registry values.
#include <cstdint>
#include <string>

#include "support/wide_format.h"

namespace vorlane {

inline std::u16string SignedDecimal(std::int32_t value) {
  char16_t text[16];
  FormatWide(text, 16, u"%d", static_cast<int>(value));
  return text;
}

inline std::u16string UnsignedDecimal(std::uint32_t value) {
  char16_t text[16];
  FormatWide(text, 16, u"%u", static_cast<unsigned>(value));
  return text;
}

}  // namespace vorlane
