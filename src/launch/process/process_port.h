#pragma once
// What starting programs needs from the platform.
#include <string>

namespace vorlane {

class ProcessPort {
 public:
  virtual ~ProcessPort() = default;
  // The Windows major version; 0 when it cannot be read.
  virtual unsigned WindowsMajorVersion() = 0;
  // Starts `path` with `parameters` through the shell's "runas" verb, shown
  // normally; does not wait. False when it was not started (elevation refused).
  virtual bool RunAs(const char16_t* path, const char16_t* parameters) = 0;
  // Creates a process from `commandLine` alone (no application name, caller's
  // environment and folder), waits for its end when asked, and closes its
  // handles. False when no process was created.
  virtual bool StartProcess(std::u16string commandLine, bool waitUntilEnded) = 0;
};

}  // namespace vorlane
