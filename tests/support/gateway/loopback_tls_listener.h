#pragma once
// What both gateway simulators stand on: a TLS server context and a listening
// socket on 127.0.0.1, each accepted connection served on a thread of its
// own. A connection's thread is let go as soon as it has served (its memory,
// OpenSSL's per-thread state included, with it), and the time it ended is
// kept, so a measurement can wait until the server side has settled.
#include <openssl/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlane::tests {

class LoopbackTlsListener {
 public:
  // Serves one accepted connection; the listener closes the socket after.
  using Serve = std::function<void(std::uintptr_t socket)>;
  using Clock = std::chrono::steady_clock;

  LoopbackTlsListener() = default;
  ~LoopbackTlsListener();
  LoopbackTlsListener(const LoopbackTlsListener&) = delete;
  LoopbackTlsListener& operator=(const LoopbackTlsListener&) = delete;

  // Takes `context` (freed here, also on failure), binds 127.0.0.1:`port`
  // (0: one the system chooses) and starts accepting. `receiveTimeoutMs`,
  // when not 0, bounds each receive on an accepted socket.
  bool Start(SSL_CTX* context, std::uint16_t port, Serve serve, unsigned receiveTimeoutMs = 0);
  // Stops accepting, cuts the open connections and waits for their threads.
  void Stop();

  std::uint16_t Port() const { return port_; }
  SSL_CTX* Context() const { return context_; }
  bool Stopping() const { return stopping_; }
  // Connection threads still serving.
  std::size_t Running() const;
  // When each connection's thread ended, in order.
  std::vector<Clock::time_point> Ended() const;

 private:
  struct Connection {
    std::thread thread;
    std::uintptr_t socket;
    bool finished = false;
  };
  void AcceptLoop();
  void ServeOne(std::uintptr_t socket);
  // Joins the threads that have served; the caller holds mutex_.
  void JoinFinished(std::vector<std::thread>& joinable);

  SSL_CTX* context_ = nullptr;
  std::uint16_t port_ = 0;
  std::uintptr_t listener_ = ~std::uintptr_t{0};
  bool winsock_ = false;
  unsigned receiveTimeoutMs_ = 0;
  Serve serve_;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;

  mutable std::mutex mutex_;
  std::vector<Connection> connections_;
  std::vector<Clock::time_point> ended_;
};

}  // namespace vorlane::tests
