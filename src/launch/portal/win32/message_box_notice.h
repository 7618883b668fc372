#pragma once
// Shows launch-road failures in the system-modal "SSL VPN" box.
#include "launch/portal/launch_road_ports.h"

namespace vorlane {

class MessageBoxNotice final : public UserNotice {
 public:
  void Show(MessageChoice message) override { ShowMessage(message); }
};

}  // namespace vorlane
