#include "loopback_tls_listener.h"

#include <winsock2.h>
#include <windows.h>

#include <openssl/crypto.h>
#include <openssl/ssl.h>

#include <algorithm>

namespace vorlane::tests {
namespace {

// How long the acceptor waits for a connection before it lets go of the
// threads that have finished and looks whether it should stop.
constexpr long kAcceptPaceUs = 50 * 1000;

}  // namespace

LoopbackTlsListener::~LoopbackTlsListener() {
  Stop();
  SSL_CTX_free(context_);
}

bool LoopbackTlsListener::Start(SSL_CTX* context, std::uint16_t port, Serve serve, unsigned receiveTimeoutMs) {
  SSL_CTX_free(context_);
  context_ = context;
  if (!context_ || acceptor_.joinable()) return false;
  WSADATA data;
  if (!winsock_ && WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  winsock_ = true;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0) {
    closesocket(listener);
    return false;
  }
  int length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  listener_ = listener;
  serve_ = std::move(serve);
  receiveTimeoutMs_ = receiveTimeoutMs;
  stopping_ = false;
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void LoopbackTlsListener::Stop() {
  if (acceptor_.joinable()) {
    stopping_ = true;
    acceptor_.join();
    closesocket(static_cast<SOCKET>(listener_));
    std::vector<std::thread> running;
    {
      std::lock_guard lock(mutex_);
      for (Connection& c : connections_) {
        if (!c.finished) shutdown(static_cast<SOCKET>(c.socket), SD_BOTH);
        running.push_back(std::move(c.thread));
      }
      connections_.clear();
    }
    for (std::thread& t : running) t.join();
  }
  if (winsock_) WSACleanup();
  winsock_ = false;
}

std::size_t LoopbackTlsListener::Running() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(
      std::count_if(connections_.begin(), connections_.end(), [](const Connection& c) { return !c.finished; }));
}

std::vector<LoopbackTlsListener::Clock::time_point> LoopbackTlsListener::Ended() const {
  std::lock_guard lock(mutex_);
  return ended_;
}

void LoopbackTlsListener::JoinFinished(std::vector<std::thread>& joinable) {
  auto done = std::stable_partition(connections_.begin(), connections_.end(),
                                    [](const Connection& c) { return !c.finished; });
  for (auto it = done; it != connections_.end(); ++it) joinable.push_back(std::move(it->thread));
  connections_.erase(done, connections_.end());
}

void LoopbackTlsListener::AcceptLoop() {
  const SOCKET listener = static_cast<SOCKET>(listener_);
  while (!stopping_) {
    std::vector<std::thread> finished;
    {
      std::lock_guard lock(mutex_);
      JoinFinished(finished);
    }
    for (std::thread& t : finished) t.join();

    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait{0, kAcceptPaceUs};
    if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
    SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    if (receiveTimeoutMs_ != 0) {
      DWORD timeout = receiveTimeoutMs_;
      setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    }
    std::lock_guard lock(mutex_);
    connections_.push_back({std::thread(), client});
    connections_.back().thread = std::thread([this, client] { ServeOne(client); });
  }
}

void LoopbackTlsListener::ServeOne(std::uintptr_t socket) {
  serve_(socket);
  // OpenSSL linked statically keeps per-thread state (its random generators,
  // the error queue) until the thread says it is done.
  OPENSSL_thread_stop();
  // Closed under the lock, so Stop never shuts down a socket number that has
  // been closed and handed out again.
  std::lock_guard lock(mutex_);
  closesocket(static_cast<SOCKET>(socket));
  for (Connection& c : connections_)
    if (c.socket == socket && !c.finished) {
      c.finished = true;
      break;
    }
  ended_.push_back(Clock::now());
}

}  // namespace vorlane::tests
