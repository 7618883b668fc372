#pragma once
// The 32-bit Program Files folder through the shell.
#include "support/program_files_port.h"

namespace vorlane {

class Win32ProgramFiles final : public ProgramFilesPort {
 public:
  std::u16string ProgramFilesX86() override;
  bool FileExists(const char16_t* path) override;
};

}  // namespace vorlane
