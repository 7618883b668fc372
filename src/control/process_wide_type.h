#pragma once
// One copy of the "type" parameter per process: the last control whose
// properties were exchanged sets it; the certificate login reads it.
#include "support/portal_type.h"

namespace vorlane {

PortalType ProcessWideType();
void SetProcessWideType(PortalType type);

}  // namespace vorlane
