#pragma once
// A real window standing in for the control's: records the texts of the
// WM_USER+1 notifications it is sent, taken from the process's hand-over as
// the control takes them, with their arrival times, and counts the messages
// that named no text. It lives on
// the thread that makes it, which must pump messages for sends to arrive.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorlane::tests {

struct Notification {
  std::string text;
  std::chrono::steady_clock::time_point at;
};

class NotificationWindow {
 public:
  NotificationWindow();
  ~NotificationWindow();
  NotificationWindow(const NotificationWindow&) = delete;
  NotificationWindow& operator=(const NotificationWindow&) = delete;

  std::uintptr_t Handle() const { return handle_; }
  const std::vector<Notification>& Seen() const { return seen_; }
  std::vector<std::string> Texts() const;
  int Ignored() const { return ignored_; }
  void Destroy();

  // Handles messages until `done` holds or `limit` passes; returns `done()`.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
  bool PumpUntilSeen(std::size_t count, std::chrono::milliseconds limit) {
    return PumpUntil([&] { return seen_.size() >= count; }, limit);
  }

 private:
  static std::intptr_t __stdcall Procedure(void* window, unsigned message, std::uintptr_t wParam,
                                           std::intptr_t lParam);
  std::uintptr_t handle_ = 0;
  std::vector<Notification> seen_;
  int ignored_ = 0;
};

}  // namespace vorlane::tests
