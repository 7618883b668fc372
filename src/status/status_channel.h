#pragma once
// The process's status channel: which poller run is the newest, and the
// socket that `StatusSocket` names.
//
// Each poller run connects its own socket. A new run supersedes every earlier
// one (they stop at their next look at their flag, woken from their pause),
// and only the newest run's socket is published, so no two pollers ever share
// a socket and "pageOff" always goes to the newest connection. Publishing,
// withdrawing and sending on the published socket happen under one lock, so a
// send never meets a socket that its poller has just closed.
#include <cstdint>
#include <mutex>

#include "status/poller_thread.h"
#include "status/status_ports.h"

namespace vorlane {

using PollerRun = std::uint64_t;

class StatusChannel {
 public:
  // The one channel of the process.
  static StatusChannel& Process();

  // Makes a new run the newest and wakes the poller of the run it replaces.
  PollerRun BeginRun();
  // Keeps `thread` (a second handle of the run's thread) so that a later run
  // can wake it; dropped at once when the run is no longer the newest.
  void AttachThread(PollerRun run, PollerThreadSlot thread);
  // The run's thread is ending: forget its handle if it is still the newest.
  void EndRun(PollerRun run);
  bool IsNewest(PollerRun run);

  // Publishes a run's socket as `StatusSocket` unless a newer run exists.
  void Publish(PollerRun run, SocketHandle socket);
  // Stops naming `socket`; call before closing it.
  void Withdraw(SocketHandle socket);
  SocketHandle StatusSocket();
  // Sends on `StatusSocket` when one is open; the result is not reported.
  void SendOnStatusSocket(StatusSocketPort& sockets, const char* bytes, int size);

 private:
  std::mutex mutex_;
  PollerRun newest_ = 0;
  PollerThreadSlot newestThread_;
  SocketHandle socket_ = kNoSocket;
};

}  // namespace vorlane
