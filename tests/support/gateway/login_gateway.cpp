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
  for (unsigned waited = 0; waited < ms && !listener_.Stopping(); waited += kSlice) {
    Sleep(ms - waited < kSlice ? ms - waited : kSlice);
  }
  return !listener_.Stopping();
}

LoginGateway::LoginGateway() { reply_ = RedirectReply("/portal/home"); }

LoginGateway::~LoginGateway() { Stop(); }

bool LoginGateway::Start(std::uint16_t port) {
  const LoginCertificates& certificates = TestLoginCertificates();
  if (!certificates.Made()) return false;
  // The library's defaults, as a current gateway has them: TLS 1.3 first,
  // RSA-PSS among the signatures it asks the client for.
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (!context || SSL_CTX_use_certificate(context, certificates.gateway.certificate) != 1 ||
      SSL_CTX_use_PrivateKey(context, certificates.gateway.key) != 1) {
    SSL_CTX_free(context);
    return false;
  }
  X509_STORE_add_cert(SSL_CTX_get_cert_store(context), certificates.authority.certificate);
  SSL_CTX_add_client_CA(context, certificates.authority.certificate);
  return listener_.Start(context, port, [this](std::uintptr_t socket) { Serve(socket); });
}

void LoginGateway::Stop() { listener_.Stop(); }

void LoginGateway::Script(LoginReply reply) {
  std::lock_guard lock(mutex_);
  reply_ = std::move(reply);
}

std::vector<LoginVisit> LoginGateway::Visits() const {
  std::lock_guard lock(mutex_);
  return visits_;
}

void LoginGateway::Serve(std::uintptr_t socket) {
  SSL* ssl = SSL_new(listener_.Context());
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
}

}  // namespace vorlane::tests
