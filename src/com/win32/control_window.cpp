// The control's child window while it is in-place active, and its message
// table.
#include "com/win32/control_base.h"
#include "support/win32/entry_boundaries.h"
#include "support/win32/module_instance.h"

namespace vorlane {
namespace {

constexpr wchar_t kWindowClassName[] = L"VorlaneControlWindow";

}  // namespace

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<ControlBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (control) control->ForgetWindow(window);
    return DefWindowProcW(window, message, wparam, lparam);
  }
  if (!control || message == WM_NCCREATE) return DefWindowProcW(window, message, wparam, lparam);
  return WindowMessageBoundary([&] { return control->HandleMessage(window, message, wparam, lparam); });
}

namespace {

// Registered once per module instance; a class left from an earlier load of
// the module in this process is replaced.
bool RegisterControlWindowClass() {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  HINSTANCE instance = ModuleInstance();
  if (GetClassInfoExW(instance, kWindowClassName, &existing)) {
    if (existing.lpfnWndProc == ControlWindowProc) return true;
    UnregisterClassW(kWindowClassName, instance);
  }
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = ControlWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

HRESULT ControlBase::CreateControlWindow(HWND parent, const RECT& position) {
  if (!RegisterControlWindowClass()) return HRESULT_FROM_WIN32(GetLastError());
  position_ = position;
  HWND window = CreateWindowExW(0, kWindowClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, position.left,
                                position.top, position.right - position.left, position.bottom - position.top, parent,
                                nullptr, ModuleInstance(), this);
  if (!window) return HRESULT_FROM_WIN32(GetLastError());
  window_ = window;
  OnWindowChanged(window_);
  return S_OK;
}

void ControlBase::DestroyControlWindow() {
  if (!window_) return;
  HWND window = window_;
  window_ = nullptr;
  OnWindowChanged(nullptr);
  DestroyWindow(window);
}

void ControlBase::ForgetWindow(HWND window) {
  if (window_ != window) return;
  window_ = nullptr;
  OnWindowChanged(nullptr);
}

LRESULT ControlBase::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  for (const MessageEntry& entry : description_.messages) {
    if (entry.message == message) return entry.handler(*this, wparam, lparam);
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT bounds;
    GetClientRect(window, &bounds);
    OnDraw(dc, bounds);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace vorlane
