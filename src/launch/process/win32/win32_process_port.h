#pragma once
#include "launch/process/process_port.h"

namespace vorlane {

// Programs started through GetVersionExW, ShellExecuteExW and CreateProcessW.
class Win32ProcessPort final : public ProcessPort {
 public:
  unsigned WindowsMajorVersion() override;
  bool RunAs(const char16_t* path, const char16_t* parameters) override;
  bool StartProcess(std::u16string commandLine, bool waitUntilEnded) override;
};

}  // namespace vorlane
