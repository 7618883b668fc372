#include "local_client/local_client_simulator.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>

namespace vorlane::tests {

LocalClientSimulator::LocalClientSimulator(std::uint16_t port)
    : port_(port), listener_(INVALID_SOCKET), default_(Reply("Connected")) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

LocalClientSimulator::~LocalClientSimulator() {
  Stop();
  WSACleanup();
}

bool LocalClientSimulator::Start() {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  if (listener == INVALID_SOCKET) return false;
  // A connection this listener closed first may still linger on the port.
  BOOL reuse = TRUE;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port_);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, SOMAXCONN) != 0) {
    closesocket(listener);
    return false;
  }
  listener_ = listener;
  stopping_ = false;
  accepted_ = 0;
  acceptor_ = std::thread(&LocalClientSimulator::Accept, this);
  return true;
}

void LocalClientSimulator::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (auto& server : servers_)
      if (!server->ended) shutdown(static_cast<SOCKET>(server->connection), SD_BOTH);
  }
  if (acceptor_.joinable()) acceptor_.join();
  if (listener_ != INVALID_SOCKET) closesocket(static_cast<SOCKET>(listener_));
  listener_ = INVALID_SOCKET;
  for (auto& server : servers_) server->thread.join();
  for (auto& server : servers_)
    if (!server->ended) closesocket(static_cast<SOCKET>(server->connection));
  servers_.clear();
}

void LocalClientSimulator::SetDefault(Step step) {
  std::lock_guard lock(mutex_);
  default_ = std::move(step);
}

void LocalClientSimulator::SetGreeting(Greeting greeting, std::size_t floodBytes) {
  std::lock_guard lock(mutex_);
  greeting_ = greeting;
  floodBytes_ = floodBytes;
}

void LocalClientSimulator::Script(std::vector<Step> steps) {
  std::lock_guard lock(mutex_);
  script_.assign(steps.begin(), steps.end());
}

std::vector<LocalClientSimulator::Message> LocalClientSimulator::Received() {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<LocalClientSimulator::SentReply> LocalClientSimulator::Sent() {
  std::lock_guard lock(mutex_);
  return sent_;
}

std::vector<LocalClientSimulator::Message> LocalClientSimulator::TakeReceived() {
  std::lock_guard lock(mutex_);
  std::vector<Message> taken;
  taken.swap(received_);
  std::vector<SentReply>().swap(sent_);
  return taken;
}

int LocalClientSimulator::Connections() {
  std::lock_guard lock(mutex_);
  return accepted_;
}

bool LocalClientSimulator::WaitForMessages(std::size_t count, std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return arrived_.wait_for(lock, limit, [&] { return received_.size() >= count; });
}

void LocalClientSimulator::Accept() {
  SOCKET listener = static_cast<SOCKET>(listener_);
  for (;;) {
    // Looks at stopping_ every 50 ms rather than relying on a close to break
    // a blocked accept.
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait{0, 50 * 1000};
    int n = select(0, &ready, nullptr, nullptr, &wait);
    JoinEnded();
    std::lock_guard lock(mutex_);
    if (stopping_ || n < 0) return;
    if (n == 0) continue;
    SOCKET connection = accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    auto server = std::make_unique<Server>();
    server->connection = connection;
    Server* served = server.get();
    servers_.push_back(std::move(server));
    served->thread = std::thread(&LocalClientSimulator::Serve, this, served, ++accepted_);
  }
}

// A long run accepts a connection per poller; those whose poller has gone are
// let go at once, so that only live connections hold a thread and a socket.
void LocalClientSimulator::JoinEnded() {
  std::vector<std::unique_ptr<Server>> ended;
  {
    std::lock_guard lock(mutex_);
    for (auto it = servers_.begin(); it != servers_.end();) {
      if ((*it)->ended) {
        ended.push_back(std::move(*it));
        it = servers_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& server : ended) server->thread.join();
}

bool LocalClientSimulator::Greet(Server* server) {
  Greeting greeting;
  std::size_t flood;
  {
    std::lock_guard lock(mutex_);
    greeting = greeting_;
    flood = floodBytes_;
  }
  SOCKET s = static_cast<SOCKET>(server->connection);
  if (greeting == Greeting::Close) {
    std::lock_guard lock(mutex_);
    closesocket(s);
    server->ended = true;
    return false;
  }
  if (greeting != Greeting::Flood) return true;
  std::string piece;
  for (std::size_t at = 0; at < flood;) {
    // Looks at stopping_ every 50 ms while the peer's buffers are full.
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(s, &writable);
    timeval wait{0, 50 * 1000};
    int ready = select(0, nullptr, &writable, nullptr, &wait);
    {
      std::lock_guard lock(mutex_);
      if (stopping_ || ready < 0) return false;
    }
    if (ready == 0) continue;
    piece.resize(std::min<std::size_t>(4096, flood - at));
    for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = FloodByte(at + i);
    int sent = send(s, piece.data(), static_cast<int>(piece.size()), 0);
    if (sent <= 0) return true;  // the peer has gone: the loop below finds out
    at += static_cast<std::size_t>(sent);
  }
  return true;
}

void LocalClientSimulator::Serve(Server* server, int index) {
  if (!Greet(server)) return;
  std::string pending;
  char buffer[512];
  SOCKET s = static_cast<SOCKET>(server->connection);
  bool closedHere = false;  // a step ended the connection: keep it until Stop
  for (;;) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    timeval wait{0, 50 * 1000};
    int waiting = select(0, &ready, nullptr, nullptr, &wait);
    {
      std::lock_guard lock(mutex_);
      if (stopping_ || waiting < 0) return;
    }
    if (waiting == 0) continue;
    int n = recv(s, buffer, sizeof buffer, 0);
    if (n <= 0) {
      std::lock_guard lock(mutex_);
      if (closedHere || stopping_) return;
      // The peer has closed: nothing more can come on this connection.
      closesocket(s);
      server->ended = true;
      return;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\0')) != std::string::npos;) {
      std::string text = pending.substr(0, end);
      pending.erase(0, end + 1);
      {
        std::lock_guard lock(mutex_);
        received_.push_back({index, text, std::chrono::steady_clock::now()});
      }
      arrived_.notify_all();
      if (text != "state") continue;
      Ending ending = Answer(server->connection);
      if (ending == Ending::Closed) closedHere = true;
      if (ending == Ending::Reset) {
        std::lock_guard lock(mutex_);
        closesocket(s);  // with a zero linger: a reset
        server->ended = true;
        return;
      }
    }
  }
}

LocalClientSimulator::Ending LocalClientSimulator::Answer(std::uintptr_t connection) {
  Step step;
  {
    std::lock_guard lock(mutex_);
    if (script_.empty()) {
      step = default_;
    } else {
      step = script_.front();
      script_.pop_front();
    }
  }
  for (auto& piece : step.pieces) {
    if (step.delay.count() > 0) Sleep(static_cast<DWORD>(step.delay.count()));
    auto at = std::chrono::steady_clock::now();
    send(static_cast<SOCKET>(connection), piece.data(), static_cast<int>(piece.size()), 0);
    std::lock_guard lock(mutex_);
    sent_.push_back({piece, at});
  }
  if (step.resetAfter) {
    linger abort{1, 0};
    setsockopt(static_cast<SOCKET>(connection), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
               sizeof abort);
    return Ending::Reset;
  }
  if (step.closeAfter) shutdown(static_cast<SOCKET>(connection), SD_BOTH);
  return step.closeAfter ? Ending::Closed : Ending::Open;
}

std::u16string FakeProgramsFolder() {
  std::u16string folder = u"Z:";
  for (const char* p = VORLANE_FAKE_PROGRAMS_DIR; *p; ++p)
    folder.push_back(*p == '/' ? u'\\' : static_cast<char16_t>(*p));
  folder.push_back(u'\\');
  return folder;
}

}  // namespace vorlane::tests
