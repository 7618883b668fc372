#pragma once
// WMI asked directly, without the control's code: the address the control
// must report, and the cost of asking.
#include <optional>
#include <string>

namespace vorlane::tests {

// "MACAddress" of the first adapter with NetConnectionStatus=2, in the
// calling thread's apartment (which the caller has initialised); nothing when
// WMI names none.
std::optional<std::u16string> FirstConnectedAdapterMac();

}  // namespace vorlane::tests
