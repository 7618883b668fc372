#pragma once
// Watches for message boxes of a given caption on the desktop, records their
// text and presses OK, as a user would.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorlane::tests {

struct SeenBox {
  std::u16string text;
  std::u16string okButton;  // the button's text, in the language the box was shown with
  bool topmost = false;
};

// When the watcher presses OK on a box it has seen.
enum class BoxAnswer {
  AtOnce,
  WhenDismissed,  // only once Dismiss() is called, as a user who looks away
};

class MessageBoxWatcher {
 public:
  explicit MessageBoxWatcher(std::u16string caption = u"SSL VPN", BoxAnswer answer = BoxAnswer::AtOnce);
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  std::vector<SeenBox> Seen();
  // From now on boxes are answered at once, also one already showing.
  void Dismiss() { answer_ = BoxAnswer::AtOnce; }

 private:
  void Watch();

  std::u16string caption_;
  std::atomic<BoxAnswer> answer_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::thread thread_;
};

}  // namespace vorlane::tests
