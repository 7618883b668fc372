#include "bridge/win32/bridge_window.h"

#include "status/notification_text.h"

namespace vorlane {
namespace {

constexpr UINT kIncomingMessage = WM_APP + 1;
constexpr wchar_t kWindowClass[] = L"VorlaneBridgeWindow";

}  // namespace

BridgeWindow::BridgeWindow() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

BridgeWindow::~BridgeWindow() {
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool BridgeWindow::Post(IncomingMessage message) {
  {
    std::lock_guard lock(inboxMutex_);
    inbox_.push_back(std::move(message));
  }
  return PostMessageW(window_, kIncomingMessage, 0, 0) != FALSE;
}

void BridgeWindow::TakeInbox() {
  {
    std::lock_guard lock(inboxMutex_);
    while (!inbox_.empty()) {
      queue_.push_back(std::move(inbox_.front()));
      inbox_.pop_front();
    }
  }
  RunQueued();
}

LRESULT CALLBACK BridgeWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<BridgeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == kIncomingMessage) {
    if (self) self->TakeInbox();
    return 0;
  }
  if (message == kNotifyMessage) {
    if (self) self->OnNotification(static_cast<NotificationToken>(wparam));
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void BridgeWindow::OnNotification(NotificationToken token) {
  if (!session_ || !relay_ || ended_) return;
  // A token the relay did not hand over (anyone may send this message) is ignored.
  if (std::optional<std::u16string> text = relay_->TakeEventText(token)) session_->SendEvent(*text);
}

void BridgeWindow::RunQueued() {
  if (running_ || !session_) return;
  running_ = true;
  while (!queue_.empty() && !ended_) {
    IncomingMessage message = std::move(queue_.front());
    queue_.pop_front();
    if (!session_->Handle(message)) End();
  }
  running_ = false;
}

void BridgeWindow::End() {
  ended_ = true;
  queue_.clear();
  if (relay_) relay_->Stop();
  PostQuitMessage(0);
}

}  // namespace vorlane
