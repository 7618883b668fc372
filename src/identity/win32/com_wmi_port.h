#pragma once
// The WMI port over WMI's COM interfaces. It uses COM in the calling thread's
// apartment as the thread's owner set it up: it never initialises COM and
// never sets process-wide security.
#include "identity/wmi_port.h"

namespace vorlane {

class ComWmiPort final : public WmiPort {
 public:
  Obtained<WbemLocator> CreateLocator() override;
};

}  // namespace vorlane
