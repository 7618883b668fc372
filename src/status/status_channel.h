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
#include <functional>
#include <memory>
#include <mutex>

#include "status/poller_thread.h"
#include "status/status_ports.h"

namespace vorlane {

using PollerRun = std::uint64_t;

// A poller thread that has been made but does not run until Resume, so that
// it never runs before its run is the newest.
class HeldPollerThread : public PollerThread {
 public:
  // A second handle of the thread, for the channel to wake it; null if none.
  virtual PollerThreadSlot Duplicate() = 0;
  virtual void Resume() = 0;
};

using MakePollerThread = std::function<std::unique_ptr<HeldPollerThread>(PollerRun run)>;

class StatusChannel {
 public:
  // The one channel of the process.
  static StatusChannel& Process();

  // Starts a run: `make` creates its thread, held. Only once the thread
  // exists does the run become the newest (waking the run it replaces), and
  // then the thread runs. Null, with the newest run left as it was, when no
  // thread could be made.
  PollerThreadSlot StartRun(const MakePollerThread& make);
  // Makes a new run the newest at once and wakes the poller of the run it
  // replaces; for a run whose thread the caller already runs.
  PollerRun BeginRun();
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
  void BecomeNewest(PollerRun run, PollerThreadSlot thread);

  std::mutex mutex_;
  PollerRun lastNumber_ = 0;
  PollerRun newest_ = 0;
  PollerThreadSlot newestThread_;
  SocketHandle socket_ = kNoSocket;
};

}  // namespace vorlane
