#include "status/win32/win32_poller_ports.h"

#include <windows.h>

#include "status/notification_hand_over.h"
#include "status/notification_text.h"

namespace vorlane {

static_assert(kNotifyMessage == WM_USER + 1);
static_assert(sizeof(NotificationToken) == sizeof(WPARAM));

void Win32PollerPauses::Pause(std::uint32_t milliseconds) { Sleep(milliseconds); }

void Win32PollerPauses::PauseAlertable(std::uint32_t milliseconds) { SleepEx(milliseconds, TRUE); }

void Win32WindowNotifier::Notify(WindowHandle window, const char* text) {
  NotifyThroughHandOver(NotificationHandOver::Process(), window, text, [&](NotificationToken token) {
    SendMessageW(reinterpret_cast<HWND>(window), kNotifyMessage, static_cast<WPARAM>(token), 0);
  });
}

}  // namespace vorlane
