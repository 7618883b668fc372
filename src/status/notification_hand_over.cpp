#include "status/notification_hand_over.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <utility>

namespace vorlane {
namespace {

// A bijection of 64-bit values (the finaliser of SplitMix64): consecutive
// counts come out unrelated.
std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 30;
  value *= 0xBF58476D1CE4E5B9ULL;
  value ^= value >> 27;
  value *= 0x94D049BB133111EBULL;
  value ^= value >> 31;
  return value;
}

std::uint64_t DrawSecret() {
  try {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (...) {
    // No source of randomness: the time and where this process's code was
    // loaded still differ from one run to the next.
    auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return Mix(now ^ reinterpret_cast<std::uintptr_t>(&DrawSecret));
  }
}

}  // namespace

NotificationHandOver& NotificationHandOver::Process() {
  static NotificationHandOver table(DrawSecret());
  return table;
}

// Tokens are distinct while the count does not wrap; where the token is
// narrower than the count (32-bit builds) a value still waiting is skipped.
// Masked with a second value made from the secret, so that one token seen
// does not give away the count behind the next.
NotificationToken NotificationHandOver::NextToken() {
  const std::uint64_t mask = Mix(~secret_);
  for (;;) {
    auto token = static_cast<NotificationToken>(Mix(++counter_ + secret_) ^ mask);
    if (token != 0 && !Holds(token)) return token;
  }
}

bool NotificationHandOver::Holds(NotificationToken token) const {
  return std::any_of(waiting_.begin(), waiting_.end(), [&](const Entry& entry) { return entry.token == token; });
}

NotificationToken NotificationHandOver::Offer(WindowHandle window, std::string text) {
  std::lock_guard lock(mutex_);
  if (waiting_.size() >= kCapacity) waiting_.pop_front();
  NotificationToken token = NextToken();
  waiting_.push_back({token, window, std::move(text)});
  return token;
}

std::optional<std::string> NotificationHandOver::Take(WindowHandle window, NotificationToken token) {
  std::lock_guard lock(mutex_);
  auto found = std::find_if(waiting_.begin(), waiting_.end(), [&](const Entry& entry) {
    return entry.token == token && entry.window == window;
  });
  if (found == waiting_.end()) return std::nullopt;
  std::string text = std::move(found->text);
  waiting_.erase(found);
  return text;
}

void NotificationHandOver::Withdraw(NotificationToken token) {
  std::lock_guard lock(mutex_);
  std::erase_if(waiting_, [&](const Entry& entry) { return entry.token == token; });
}

void NotificationHandOver::Forget(WindowHandle window) {
  std::lock_guard lock(mutex_);
  std::erase_if(waiting_, [&](const Entry& entry) { return entry.window == window; });
}

std::size_t NotificationHandOver::Waiting() const {
  std::lock_guard lock(mutex_);
  return waiting_.size();
}

void NotifyThroughHandOver(NotificationHandOver& handOver, WindowHandle window, const char* text,
                           const std::function<void(NotificationToken)>& send) {
  if (window == 0) return;
  NotificationToken token = handOver.Offer(window, text);
  // Taken back whatever the send did: the window took it, was gone, or
  // ignored it.
  struct TakeBack {
    NotificationHandOver& handOver;
    NotificationToken token;
    ~TakeBack() { handOver.Withdraw(token); }
  } takeBack{handOver, token};
  send(token);
}

}  // namespace vorlane
