#pragma once
#include "status/status_ports.h"

namespace vorlane {

// Pauses through Sleep and SleepEx (alertable, so a queued call ends it).
class Win32PollerPauses final : public PollerPausePort {
 public:
  void Pause(std::uint32_t milliseconds) override;
  void PauseAlertable(std::uint32_t milliseconds) override;
};

// WM_USER+1 sent (not posted) to the window, a token of the process's
// notification hand-over as WPARAM; the window takes the text by it.
class Win32WindowNotifier final : public NotifyPort {
 public:
  void Notify(WindowHandle window, const char* text) override;
};

}  // namespace vorlane
