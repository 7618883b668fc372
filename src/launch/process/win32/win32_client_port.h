#pragma once
#include "launch/process/close_client.h"

namespace vorlane {

// The running VPN client, reached through the status channel.
class Win32ClientPort final : public ClientPort {
 public:
  void SendPageOff() override;
};

}  // namespace vorlane
