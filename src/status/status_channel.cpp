#include "status/status_channel.h"

#include <utility>

namespace vorlane {

StatusChannel& StatusChannel::Process() {
  static StatusChannel channel;
  return channel;
}

PollerThreadSlot StatusChannel::StartRun(const MakePollerThread& make) {
  PollerRun run;
  {
    std::lock_guard lock(mutex_);
    run = ++lastNumber_;
  }
  std::unique_ptr<HeldPollerThread> thread = make(run);
  if (!thread) return nullptr;
  BecomeNewest(run, thread->Duplicate());
  thread->Resume();
  return thread;
}

PollerRun StatusChannel::BeginRun() {
  PollerRun run;
  {
    std::lock_guard lock(mutex_);
    run = ++lastNumber_;
  }
  BecomeNewest(run, nullptr);
  return run;
}

void StatusChannel::BecomeNewest(PollerRun run, PollerThreadSlot thread) {
  {
    std::lock_guard lock(mutex_);
    newest_ = run;
    std::swap(newestThread_, thread);
  }
  // The replaced run's thread: woken, then its handle closed, unlocked.
  if (thread) thread->Wake();
}

void StatusChannel::EndRun(PollerRun run) {
  PollerThreadSlot ending;
  std::lock_guard lock(mutex_);
  if (run == newest_) std::swap(newestThread_, ending);
}

bool StatusChannel::IsNewest(PollerRun run) {
  std::lock_guard lock(mutex_);
  return run == newest_;
}

void StatusChannel::Publish(PollerRun run, SocketHandle socket) {
  std::lock_guard lock(mutex_);
  if (run == newest_) socket_ = socket;
}

void StatusChannel::Withdraw(SocketHandle socket) {
  std::lock_guard lock(mutex_);
  if (socket_ == socket) socket_ = kNoSocket;
}

SocketHandle StatusChannel::StatusSocket() {
  std::lock_guard lock(mutex_);
  return socket_;
}

void StatusChannel::SendOnStatusSocket(StatusSocketPort& sockets, const char* bytes, int size) {
  std::lock_guard lock(mutex_);
  if (socket_ != kNoSocket) sockets.Send(socket_, bytes, size);
}

}  // namespace vorlane
