#pragma once
// The machine policy as Group Policy writes it: the values of
// machine_policy.h under HKLM\SOFTWARE\Policies\Vorlane.
#include "policy/machine_policy.h"

namespace vorlane {

// Read afresh on every call, so a policy change applies to the next call.
// AllowedHosts of another type, or one that cannot be read, is a list that
// allows nothing. A switch that is set but unreadable counts as on: a
// policy meant to close a hole must not open it by a wrong type.
MachinePolicy ReadMachinePolicy();

}  // namespace vorlane
