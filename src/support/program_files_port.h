#pragma once
// Where the client's programs are installed, as the launch road and Close
// look for them.
#include <string>

namespace vorlane {

class ProgramFilesPort {
 public:
  virtual ~ProgramFilesPort() = default;
  // The 32-bit Program Files folder (created when missing); empty when
  // Windows cannot name it.
  virtual std::u16string ProgramFilesX86() = 0;
  virtual bool FileExists(const char16_t* path) = 0;
};

}  // namespace vorlane
