#pragma once
#include "launch/process/close_client.h"

namespace vorlane {

// The installed VPN client as the shell sees it, and the status channel.
class Win32ClientPort final : public ClientPort {
 public:
  std::u16string ProgramFilesX86() override;
  bool FileExists(const char16_t* path) override;
  void SendPageOff() override;
};

}  // namespace vorlane
