#include "common/message_box_watcher.h"

#include <windows.h>

namespace vorlane::tests {

MessageBoxWatcher::MessageBoxWatcher(std::u16string caption, BoxAnswer answer)
    : caption_(std::move(caption)), answer_(answer), thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<SeenBox> MessageBoxWatcher::Seen() {
  std::lock_guard lock(mutex_);
  return seen_;
}

void MessageBoxWatcher::Watch() {
  HWND last = nullptr;
  while (!stop_) {
    HWND box = FindWindowW(L"#32770", reinterpret_cast<const wchar_t*>(caption_.c_str()));
    if (box != nullptr && box == last && answer_ == BoxAnswer::AtOnce) {
      PostMessageW(box, WM_COMMAND, IDOK, 0);  // held until now, or not gone yet
    } else if (box != nullptr && box != last && IsWindowVisible(box)) {
      wchar_t text[1024] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 1024);
      SeenBox seen;
      seen.text = reinterpret_cast<const char16_t*>(text);
      wchar_t button[64] = {};
      GetDlgItemTextW(box, IDOK, button, 64);
      seen.okButton = reinterpret_cast<const char16_t*>(button);
      seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      {
        std::lock_guard lock(mutex_);
        seen_.push_back(seen);
      }
      if (answer_ == BoxAnswer::AtOnce) PostMessageW(box, WM_COMMAND, IDOK, 0);
      last = box;
    } else if (box == nullptr) {
      last = nullptr;
    }
    Sleep(20);
  }
}

}  // namespace vorlane::tests
