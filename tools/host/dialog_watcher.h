#pragma once
// Dismisses the dialogs the control shows in this process, as a user would,
// and reports each: a message box with its caption and text, another dialog
// (the About box) with its caption. Runs on its own thread while it lives.
#include <windows.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace vorlane::host {

struct SeenDialog {
  std::u16string caption;
  std::u16string text;  // a message box's text; empty for other dialogs
  bool message_box = false;
};

// messagebox "SSL VPN" "text"  or  dialog "caption"
std::string DialogLine(const SeenDialog& dialog);

class DialogWatcher {
 public:
  explicit DialogWatcher(std::function<void(const SeenDialog&)> observer);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

 private:
  void Watch();
  void Look();

  const std::function<void(const SeenDialog&)> observer_;
  std::set<HWND> answered_;  // watcher thread only
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vorlane::host
