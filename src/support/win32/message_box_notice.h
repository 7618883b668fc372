#pragma once
// Failures shown in the system-modal "SSL VPN" box.
#include "support/user_notice.h"

namespace vorlane {

class MessageBoxNotice final : public UserNotice {
 public:
  void Show(MessageChoice message) override { ShowMessage(message); }
};

}  // namespace vorlane
