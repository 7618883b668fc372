#pragma once
// How a notification's text gets from a status poller to the window that
// shows it. The window message carries a token, never an address: the window
// gets a text only for a token that this process's own senders offered for
// that very window and have not taken back. Whatever anyone else sends (another
// process, a stale or made-up value, a pointer) names nothing, so nothing is
// read from it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "status/poller_state.h"

namespace vorlane {

// What the message carries; it fits the message's WPARAM. Never 0.
using NotificationToken = std::uintptr_t;

class NotificationHandOver {
 public:
  // Texts waiting at once. Each sender takes its text back as soon as its send
  // returns, so only texts in flight wait (one per poller thread at most); a
  // further offer drops the oldest, whose window then finds nothing for it.
  static constexpr std::size_t kCapacity = 32;

  // The process's table, its tokens mixed with a value drawn when it is made.
  static NotificationHandOver& Process();

  // `secret` is mixed into every token, so that a token tells nothing of the
  // next one and two tables (two runs of the process) give different tokens.
  explicit NotificationHandOver(std::uint64_t secret) : secret_(secret) {}
  NotificationHandOver(const NotificationHandOver&) = delete;
  NotificationHandOver& operator=(const NotificationHandOver&) = delete;

  // Keeps `text` for `window` and returns the token that names it.
  NotificationToken Offer(WindowHandle window, std::string text);
  // The text offered for `window` under `token`, once; nothing for a token
  // this table does not hold for that window.
  std::optional<std::string> Take(WindowHandle window, NotificationToken token);
  // The sender is done with `token`: frees its text if no window took it.
  void Withdraw(NotificationToken token);
  // Frees every text still waiting for `window`, which is going.
  void Forget(WindowHandle window);
  std::size_t Waiting() const;

 private:
  struct Entry {
    NotificationToken token;
    WindowHandle window;
    std::string text;
  };
  NotificationToken NextToken();
  bool Holds(NotificationToken token) const;

  mutable std::mutex mutex_;
  const std::uint64_t secret_;
  std::uint64_t counter_ = 0;
  std::deque<Entry> waiting_;
};

// Hands `text` to `window` through `handOver`: offers it, lets `send` deliver
// the token (returning once the window has handled it) and then takes the
// text back if the window did not take it. Nothing is sent while there is no
// window.
void NotifyThroughHandOver(NotificationHandOver& handOver, WindowHandle window, const char* text,
                           const std::function<void(NotificationToken)>& send);

}  // namespace vorlane
