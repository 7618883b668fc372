#pragma once
// What Run needs from the rest of the control and from Windows on the launch
// road. The control implements these with its own state and the process
// helpers; native tests implement them with fakes.
#include <cstdint>
#include <optional>
#include <string>

#include "launch/portal/portal_context.h"
#include "support/user_notice.h"
#include "support/program_files_port.h"

namespace vorlane {

// Starts a program, elevated where Windows asks for it. 1 started, 0 not.
class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  virtual int StartElevated(const char16_t* path, const char16_t* parameters) = 0;
};

// A launcher given as the process's launch function, such as StartElevated.
using StartElevatedFunction = int (*)(const char16_t* path, const char16_t* parameters);

class FunctionLauncher final : public ProgramLauncher {
 public:
  explicit FunctionLauncher(StartElevatedFunction launch) : launch_(launch) {}
  int StartElevated(const char16_t* path, const char16_t* parameters) override {
    return launch_(path, parameters);
  }

 private:
  StartElevatedFunction launch_;
};

// Starts the installer download in the background with its own copy of the
// context. False when no thread could be started.
class DownloadStarter {
 public:
  virtual ~DownloadStarter() = default;
  virtual bool StartDownload(const PortalContext& context) = 0;
};

// The start of the control's status relay.
class StatusPolling {
 public:
  virtual ~StatusPolling() = default;
  // Sets the keep-polling flag and starts the status poller, which relays the
  // local client's state to the page. A poller that cannot be started is
  // logged and the page is told "Connected", so the portal goes on.
  virtual void StartPolling() = 0;
};

struct LaunchRoadPorts {
  ProgramFilesPort& updater;  // where the updater would be installed
  ProgramLauncher& launcher;
  DownloadStarter& download;
  StatusPolling& status;
  UserNotice& notice;
};

}  // namespace vorlane
