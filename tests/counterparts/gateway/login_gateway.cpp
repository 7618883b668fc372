#include "login_gateway.h"

#include <winsock2.h>
#include <windows.h>

#include <openssl/ssl.h>

#include <algorithm>

#include "login_certificates.h"

namespace vorlane::tests {
namespace {

constexpr std::size_t kMaxRequestBytes = 64 * 1024;

}  // namespace

struct LoginGateway::Tls {
  SSL_CTX* context = nullptr;
  ~Tls() { SSL_CTX_free(context); }
};

LoginReply RedirectReply(const std::string& target, const std::string& session) {
  std::string head = "HTTP/1.1 302 Found\r\nLocation:" + target + "\r\n";
  if (!session.empty()) head += "Set-Cookie: Varnex_SSLID=" + session + "; path=/; secure\r\n";
  head += "Content-Length: 0\r\nConnection: close\r\n\r\n";
  return {{head}, false};
}

LoginReply SilentReply() { return {{}, true}; }

LoginReply TrickledReply(const LoginReply& reply, unsigned pauseMs) {
  LoginReply trickled{{}, false, pauseMs};
  for (const std::string& record : reply.records) {
    for (char c : record) trickled.records.emplace_back(1, c);
  }
  return trickled;
}

bool LoginGateway::PauseUnlessStopping(unsigned ms) const {
  constexpr unsigned kSlice = 50;
  for (unsigned waited = 0; waited < ms && !stopping_; waited += kSlice) Sleep(ms - waited < kSlice ? ms - waited : kSlice);
  return !stopping_;
}

LoginGateway::LoginGateway() : tls_(new Tls), listener_(INVALID_SOCKET) { reply_ = RedirectReply("/portal/home"); }

LoginGateway::~LoginGateway() {
  Stop();
  delete tls_;
}

bool LoginGateway::Start(std::uint16_t port) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  const LoginCertificates& certificates = TestLoginCertificates();
  if (!certificates.Made()) return false;
  // The library's defaults, as a current gateway has them: TLS 1.3 first,
  // RSA-PSS among the signatures it asks the client for.
  tls_->context = SSL_CTX_new(TLS_server_method());
  if (!tls_->context || SSL_CTX_use_certificate(tls_->context, certificates.gateway.certificate) != 1 ||
      SSL_CTX_use_PrivateKey(tls_->context, certificates.gateway.key) != 1) {
    return false;
  }
  X509_STORE_add_cert(SSL_CTX_get_cert_store(tls_->context), certificates.authority.certificate);
  SSL_CTX_add_client_CA(tls_->context, certificates.authority.certificate);

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
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void LoginGateway::Stop() {
  if (!acceptor_.joinable()) return;
  stopping_ = true;
  closesocket(static_cast<SOCKET>(listener_));
  acceptor_.join();
  std::vector<std::thread> running;
  {
    std::lock_guard lock(mutex_);
    for (std::uintptr_t s : openSockets_) shutdown(static_cast<SOCKET>(s), SD_BOTH);
    running.swap(connections_);
  }
  for (std::thread& t : running) t.join();
  WSACleanup();
}

void LoginGateway::Script(LoginReply reply) {
  std::lock_guard lock(mutex_);
  reply_ = std::move(reply);
}

std::vector<LoginVisit> LoginGateway::Visits() const {
  std::lock_guard lock(mutex_);
  return visits_;
}

void LoginGateway::AcceptLoop() {
  while (!stopping_) {
    SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    std::lock_guard lock(mutex_);
    if (stopping_) {
      closesocket(client);
      break;
    }
    openSockets_.push_back(client);
    connections_.emplace_back([this, client] { Serve(client); });
  }
}

void LoginGateway::Serve(std::uintptr_t socket) {
  SSL* ssl = SSL_new(tls_->context);
  SSL_set_fd(ssl, static_cast<int>(socket));
  switch (mode_.load()) {
    case ClientCertificateMode::Require:
      SSL_set_verify(ssl, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
      break;
    case ClientCertificateMode::Request:
      SSL_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
      break;
    case ClientCertificateMode::Ignore:
      SSL_set_verify(ssl, SSL_VERIFY_NONE, nullptr);
      break;
  }
  if (SSL_accept(ssl) != 1) {
    ++failedHandshakes_;
  } else {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
      int got = SSL_read(ssl, buffer, sizeof buffer);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    LoginVisit visit;
    std::size_t end = request.find("\r\n\r\n");
    visit.request = end == std::string::npos ? request : request.substr(0, end + 4);
    X509* peer = SSL_get1_peer_certificate(ssl);
    visit.clientCertificate = DerBytes(peer);
    visit.clientSubject = SubjectText(peer);
    X509_free(peer);
    visit.protocol = SSL_get_version(ssl);
    LoginReply reply;
    {
      std::lock_guard lock(mutex_);
      visits_.push_back(visit);
      reply = reply_;
    }
    for (std::size_t i = 0; i < reply.records.size(); ++i) {
      if (i > 0 && !PauseUnlessStopping(reply.pauseMs)) break;
      if (SSL_write(ssl, reply.records[i].data(), static_cast<int>(reply.records[i].size())) <= 0) break;
    }
    // Until the client closes: a silent reply keeps it waiting meanwhile.
    while (SSL_read(ssl, buffer, sizeof buffer) > 0) {
    }
    ++closed_;
    SSL_shutdown(ssl);
  }
  SSL_free(ssl);
  std::lock_guard lock(mutex_);
  openSockets_.erase(std::remove(openSockets_.begin(), openSockets_.end(), socket), openSockets_.end());
  closesocket(static_cast<SOCKET>(socket));
}

}  // namespace vorlane::tests
