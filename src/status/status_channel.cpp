#include "status/status_channel.h"

#include <utility>

namespace vorlane {

StatusChannel& StatusChannel::Process() {
  static StatusChannel channel;
  return channel;
}

PollerRun StatusChannel::BeginRun() {
  PollerThreadSlot superseded;
  PollerRun run;
  {
    std::lock_guard lock(mutex_);
    run = ++newest_;
    superseded = std::move(newestThread_);
  }
  if (superseded) superseded->Wake();
  return run;
}

void StatusChannel::AttachThread(PollerRun run, PollerThreadSlot thread) {
  std::lock_guard lock(mutex_);
  if (run == newest_) std::swap(newestThread_, thread);
  // `thread` (the stale one, if any) closes after the lock is released.
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
