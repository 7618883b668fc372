#pragma once
// One copy of the "type" parameter per process: the last control whose
// properties were exchanged sets it; the certificate login reads it.
#include <cstdint>

namespace vorlane {

std::uint16_t ProcessWideType();
void SetProcessWideType(std::uint16_t type);

}  // namespace vorlane
