#include "common/notification_window.h"

#include <windows.h>

#include "common/message_pump.h"
#include "status/notification_hand_over.h"

namespace vorlane::tests {
namespace {

constexpr wchar_t kClassName[] = L"VorlaneNotificationWindow";

}  // namespace

NotificationWindow::NotificationWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(&NotificationWindow::Procedure);
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when already registered
  HWND window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  handle_ = reinterpret_cast<std::uintptr_t>(window);
}

NotificationWindow::~NotificationWindow() { Destroy(); }

void NotificationWindow::Destroy() {
  if (handle_ != 0) DestroyWindow(reinterpret_cast<HWND>(handle_));
  handle_ = 0;
}

std::vector<std::string> NotificationWindow::Texts() const {
  std::vector<std::string> texts;
  for (auto& n : seen_) texts.push_back(n.text);
  return texts;
}

bool NotificationWindow::PumpUntil(const std::function<bool()>& done,
                                   std::chrono::milliseconds limit) {
  return tests::PumpUntil(done, limit, std::chrono::milliseconds(10));
}

std::intptr_t __stdcall NotificationWindow::Procedure(void* window, unsigned message,
                                                      std::uintptr_t wParam, std::intptr_t lParam) {
  HWND hwnd = static_cast<HWND>(window);
  if (message == WM_USER + 1) {
    auto* self = reinterpret_cast<NotificationWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Taken as the control takes it; a longer text than promised would show here.
    auto text = NotificationHandOver::Process().Take(reinterpret_cast<WindowHandle>(hwnd), wParam);
    if (!self) return 0;
    if (text)
      self->seen_.push_back({std::move(*text), std::chrono::steady_clock::now()});
    else
      ++self->ignored_;
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace vorlane::tests
